// The paragraph index: where an editor's paragraph marks are, kept up to
// date edit by edit, so that line numbers never have to be asked of the
// control. Positions are the control's: UTF-16 units, one per mark.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

class ParagraphIndex {
public:
    // The text as the control holds it: each mark is one CR.
    void Reset(std::wstring_view text);
    // [at, at + removed) became `inserted` (marks as CR). False, and
    // nothing changed, when that range is not inside the text.
    bool Replace(LONG at, LONG removed, std::wstring_view inserted);
    // `count` characters without a mark were inserted at `at`.
    bool Insert(LONG at, LONG count);

    // 0-based; a mark belongs to the paragraph it ends. Positions before
    // the text count as 0, those past its end as the last paragraph.
    int ParagraphOf(LONG position) const;
    // Paragraphs outside [0, Count()) are taken as the nearest one.
    LONG ParagraphStart(int paragraph) const;
    bool IsMark(LONG position) const;
    int Count() const { return static_cast<int>(marks_.size()) + 1; }
    LONG Length() const { return length_; }

private:
    void MakeRoom(size_t count);

    std::vector<LONG> marks_;  // ascending
    LONG length_ = 0;
};
