// The paragraph index: where an editor's paragraph marks are, kept up to
// date edit by edit, so that line numbers never have to be asked of the
// control. Positions are the control's: UTF-16 units, one per mark.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

class ParagraphIndex {
public:
    // The text as the control holds it: each mark is one CR.
    void Reset(std::wstring_view text);
    // [at, at + removed) became `inserted` (marks as CR). False, and
    // nothing changed, when that range is not inside the text.
    bool Replace(LONG at, LONG removed, std::wstring_view inserted);

    // 0-based; a mark belongs to the paragraph it ends. Positions before
    // the text count as 0, those past its end as the last paragraph.
    int ParagraphOf(LONG position) const;
    // Paragraphs outside [0, Count()) are taken as the nearest one.
    LONG ParagraphStart(int paragraph) const;
    bool IsMark(LONG position) const;
    int Count() const { return static_cast<int>(marks_.size()) + 1; }
    LONG Length() const { return length_; }

    // Each state of any index has a revision of its own. The last few
    // edits are kept, so that whoever holds part of the text can follow.
    struct Edit {
        LONG at, removed;
        std::wstring inserted;
        unsigned revision;  // the state it led to
    };
    unsigned Revision() const { return revision_; }
    // The edits from the state `revision` to now, oldest first; false when
    // they are not all kept (or the text was Reset since).
    bool EditsSince(unsigned revision, std::vector<Edit>* edits) const;

private:
    void MakeRoom(size_t count);
    void Record(LONG at, LONG removed, std::wstring_view inserted);

    std::vector<LONG> marks_;  // ascending
    LONG length_ = 0;
    unsigned revision_ = 0;
    unsigned journalBase_ = 0;  // the revision before the first kept edit
    std::deque<Edit> journal_;
};
