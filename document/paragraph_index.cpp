// The paragraph index: the ascending positions of an editor's paragraph
// marks and its length, updated from each edit. Nothing here touches a
// window.
#include "document/paragraph_index.h"

#include <algorithm>

// Room for this many marks more than a text needs, so that the first
// lines typed into a short text do not each grow the vector.
constexpr size_t SpareMarks = 1024;

// The vector grows by an eighth, not by std::vector's doubling: four bytes
// a mark make 800 KB for a 10 MB text of 200,000 lines, and doubling that
// would be 1.6 MB. Growing is rare either way, and under Wine each fresh
// page of memory costs far more than copying it, so the room is made ahead.
void ParagraphIndex::MakeRoom(size_t count) {
    if (count > marks_.capacity()) marks_.reserve(count + count / 8 + SpareMarks);
}

// Revisions are counted across all indexes, so that none ever stands for
// a state of another (an editor destroyed and another made in its place).
static unsigned LatestRevision = 0;

// A few edits are enough for whoever reads between keystrokes; a long
// insertion is not kept, and the edits before it are given up with it
// (the text is read again where it is needed).
constexpr size_t KeptEdits = 16;
constexpr size_t LongestKeptText = 1024;

void ParagraphIndex::Record(LONG at, LONG removed, std::wstring_view inserted) {
    revision_ = ++LatestRevision;
    if (inserted.size() > LongestKeptText) {
        journalBase_ = revision_;
        journal_.clear();
        return;
    }
    journal_.push_back({at, removed, std::wstring(inserted), revision_});
    if (journal_.size() > KeptEdits) {
        journalBase_ = journal_.front().revision;
        journal_.pop_front();
    }
}

bool ParagraphIndex::EditsSince(unsigned revision, std::vector<Edit>* edits) const {
    edits->clear();
    auto from = journal_.begin();
    if (revision != journalBase_) {
        from = std::find_if(journal_.begin(), journal_.end(),
                            [&](const Edit& e) { return e.revision == revision; });
        if (from == journal_.end()) return false;
        ++from;
    }
    edits->assign(from, journal_.end());
    return true;
}

// Only CR is a mark: it is what the control holds for one, and an LF or
// CR LF here would mean the text was not the control's (its positions
// would not be the control's either), which the caller's length check
// against the control then shows.
void ParagraphIndex::Reset(std::wstring_view text) {
    // A rebuild of the same document (after an Undo) reuses the memory it
    // has; only a much smaller text gives it back.
    size_t count = static_cast<size_t>(std::count(text.begin(), text.end(), L'\r'));
    if (marks_.capacity() > 2 * count + SpareMarks) std::vector<LONG>().swap(marks_);
    marks_.clear();
    MakeRoom(count);
    for (size_t at = 0; at < text.size(); ++at)
        if (text[at] == L'\r') marks_.push_back(static_cast<LONG>(at));
    length_ = static_cast<LONG>(text.size());
    revision_ = journalBase_ = ++LatestRevision;
    journal_.clear();
}

// Every mark past the edit moves by the change in length: on 200,000 marks
// an edit near the start costs one pass over 800 KB, well under what the
// control itself takes for the same keystroke. The marks the edit removes
// and those it brings are swapped in place, with one move of the rest.
bool ParagraphIndex::Replace(LONG at, LONG removed, std::wstring_view inserted) {
    if (at < 0 || removed < 0 || removed > length_ - at) return false;
    const LONG change = static_cast<LONG>(inserted.size()) - removed;
    const size_t first = std::lower_bound(marks_.begin(), marks_.end(), at) - marks_.begin();
    const size_t last = std::lower_bound(marks_.begin() + first, marks_.end(), at + removed) - marks_.begin();
    const size_t added = static_cast<size_t>(std::count(inserted.begin(), inserted.end(), L'\r'));
    for (size_t i = last; i < marks_.size(); ++i) marks_[i] += change;
    if (added > last - first) {
        MakeRoom(marks_.size() + added - (last - first));
        marks_.insert(marks_.begin() + last, added - (last - first), 0);
    } else {
        marks_.erase(marks_.begin() + first + added, marks_.begin() + last);
    }
    size_t next = first;
    for (size_t i = 0; i < inserted.size(); ++i)
        if (inserted[i] == L'\r') marks_[next++] = at + static_cast<LONG>(i);
    length_ += change;
    Record(at, removed, inserted);
    return true;
}

int ParagraphIndex::ParagraphOf(LONG position) const {
    return static_cast<int>(std::lower_bound(marks_.begin(), marks_.end(), position) - marks_.begin());
}

LONG ParagraphIndex::ParagraphStart(int paragraph) const {
    paragraph = std::min(paragraph, Count() - 1);
    return paragraph <= 0 ? 0 : marks_[paragraph - 1] + 1;
}

bool ParagraphIndex::IsMark(LONG position) const {
    return std::binary_search(marks_.begin(), marks_.end(), position);
}
