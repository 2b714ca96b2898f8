// Replace All from one reading of the text.
//
// Replacing match by match (search, select, EM_REPLACESEL, search again
// right after the inserted text) makes Wine's control walk from the start
// of the document for every search and every replacement, and raises
// change and selection notifications each time: tens of thousands of
// matches take hours. Here the text is read once, the same matches are
// found in memory, and the span from the first match to the end of the
// last is replaced by a few large edits, or, when it holds many lines, the
// whole new text goes into a fresh editor. Text and caret end as match by
// match would leave them, and the title, gutter and status bar hear of it
// once.
#include "search/search.h"

#include <richedit.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "app/app.h"
#include "document/document.h"
#include "view/view.h"

// What Replace All does to a text as the control holds it (paragraphs end
// in a lone CR): the span [first, last) of the old text gives way to
// `middle`, after which the caret stands.
struct ReplaceAllPlan {
    LONG first = -1;
    LONG last = -1;
    std::wstring middle;
    size_t count = 0;
};

// The control matches without FR_MATCHCASE by folding A to Z alone (Wine's
// does; _wcsicmp in the C locale, which Replace compares with, does too).
static wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

// Where the folded search text next matches at or after `from`, or npos.
// The text is folded as it is compared rather than copied folded first.
static size_t FindFolded(const std::wstring& text, const std::wstring& foldedSearch, size_t from) {
    const size_t length = foldedSearch.size();
    if (text.size() < length) return std::wstring::npos;
    for (size_t at = from; at + length <= text.size(); ++at) {
        if (FoldCase(text[at]) != foldedSearch[0]) continue;
        size_t matched = 1;
        while (matched < length && FoldCase(text[at + matched]) == foldedSearch[matched]) ++matched;
        if (matched == length) return at;
    }
    return std::wstring::npos;
}

// Each search starts where the previous replacement's text ends, counted
// with the replacement's length as given: when the control stored it
// shorter (line breaks), the search starts that much further on.
static ReplaceAllPlan PlanReplaceAll(const std::wstring& text, const std::wstring& search,
                                     const std::wstring& replacement) {
    ReplaceAllPlan plan;
    if (search.empty()) return plan;
    std::wstring stored = NormalizeLineBreaks(replacement);
    size_t skip = replacement.size() - stored.size();
    std::wstring foldedSearch(search);
    for (wchar_t& c : foldedSearch) c = FoldCase(c);
    plan.middle.reserve(text.size());
    size_t from = 0;
    size_t copied = 0;  // the old text is in the plan up to here
    while (from <= text.size()) {
        size_t at = FindFolded(text, foldedSearch, from);
        if (at == std::wstring::npos) break;
        if (plan.count == 0) {
            plan.first = static_cast<LONG>(at);
        } else {
            plan.middle.append(text, copied, at - copied);
        }
        plan.middle += stored;
        copied = at + search.size();
        from = copied + skip;
        ++plan.count;
    }
    if (plan.count > 0) plan.last = static_cast<LONG>(copied);
    return plan;
}

// The text with paragraph ends as single CRs, so that its indices are the
// control's character positions.
static std::wstring EditorTextAsStored() {
    GETTEXTLENGTHEX measure = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT length = SendMessageW(EditControl, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0);
    if (length <= 0) return std::wstring();
    return ReadTextEx(EditControl, static_cast<LONG>(length), GT_DEFAULT);
}

// How many line ends a piece may hold so that a span of `breaks` takes at most
// maxEdits pieces: each piece is one Undo step, and the control keeps only
// so many (100 here) before it drops the oldest, which would leave the
// first pieces' old text beyond Undo.
static int BreaksPerPiece(long long breaks, int maxBreaks, int maxEdits) {
    long long needed = maxEdits > 1 ? (breaks + maxEdits - 2) / (maxEdits - 1) : breaks + 1;
    return static_cast<int>(std::max<long long>({maxBreaks, needed, 1}));
}

// Where the pieces of [first, last) end, each holding at most maxBreaks line ends.
static std::vector<LONG> SplitSpan(const std::wstring& text, LONG first, LONG last, int maxBreaks) {
    std::vector<LONG> ends;
    int breaks = 0;
    for (LONG at = first; at < last; ++at) {
        if (text[at] == L'\r' && ++breaks == maxBreaks && at + 1 < last) {
            ends.push_back(at + 1);
            breaks = 0;
        }
    }
    ends.push_back(last);
    return ends;
}

static void ReplaceRange(LONG start, LONG end, const wchar_t* text) {
    CHARRANGE range = {start, end};
    SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    InsertText(EditControl, text);
}

// Wine's control removes a selection paragraph by paragraph and, for each
// one, walks the document from its start to the end of what is left to
// remove and renumbers every paragraph after it: one edit over the 34,000
// lines of a 2 MB document takes more than ten minutes, pieces of 2,000
// lines removed where the span starts about 13 s, the same pieces removed
// from the span's end backwards half as long again. The last piece gives
// way to the new text, which goes in at once: inserting with little after
// it is cheap. Each edit is one Undo step: a span of up to maxBreaks line
// ends is undone at once, a longer one piece by piece. Only the last edit
// notifies and nothing is redrawn in between, since a repaint and a
// status-bar update per piece would cost more than the edits.
static void ReplaceSpanInPieces(const ReplaceAllPlan& plan, const std::vector<LONG>& pieceEnds) {
    LRESULT mask = SendMessageW(EditControl, EM_GETEVENTMASK, 0, 0);
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    LONG pieceStart = plan.first;
    for (size_t i = 0; i + 1 < pieceEnds.size(); ++i) {
        ReplaceRange(plan.first, plan.first + (pieceEnds[i] - pieceStart), L"");
        pieceStart = pieceEnds[i];
    }
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
    ReplaceRange(plan.first, plan.first + (plan.last - pieceStart), plan.middle.c_str());
    ResumeEditorDrawing(EditControl);
}

// The new text, whole, as the control will hold it.
static std::wstring TextAfter(const std::wstring& current, const ReplaceAllPlan& plan) {
    std::wstring text;
    text.reserve(current.size() - (plan.last - plan.first) + plan.middle.size());
    text.append(current, 0, plan.first);
    text += plan.middle;
    text.append(current, plan.last, std::wstring::npos);
    return text;
}

// Opening a document is linear in its length where editing many lines in
// place is not. The fresh editor holds the new text with the caret where
// the match-by-match loop leaves it and one Undo step's worth of history:
// the old editor, kept with its own.
static bool ReplaceInFreshEditor(const std::wstring& text, LONG caret) {
    HWND fresh = CreateEditorControl(MainWindow);
    if (!fresh) return false;
    ShowFreshEditorKeepingOld(fresh);
    ReplaceEditorText(fresh, text.c_str());
    CHARRANGE at = {caret, caret};
    SendMessageW(fresh, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    SendMessageW(fresh, EM_SETMODIFY, TRUE, 0);
    OnEditorChange();
    UpdateStatusBar();
    return true;
}

void ReplaceAllWithin(const wchar_t* text, const wchar_t* replacement, const ReplaceAllLimits& limits) {
    if (!text[0]) return;
    ReplaceAllPlan plan;
    std::vector<LONG> pieceEnds;
    try {
        std::wstring current = EditorTextAsStored();
        plan = PlanReplaceAll(current, text, replacement);
        if (plan.count > 0) {
            long long breaks = std::count(current.begin() + plan.first, current.begin() + plan.last, L'\r');
            if (breaks > limits.freshEditorAbove &&
                ReplaceInFreshEditor(TextAfter(current, plan),
                                     plan.first + static_cast<LONG>(plan.middle.size())))
                return;
            int perPiece = BreaksPerPiece(breaks, limits.maxBreaksPerEdit, limits.maxEdits);
            pieceEnds = SplitSpan(current, plan.first, plan.last, perPiece);
        }
    } catch (const std::bad_alloc&) {
        return;  // no room for a copy of the document: nothing is replaced
    }
    if (plan.count == 0) {
        CHARRANGE start = {0, 0};  // no match leaves the caret at the start
        SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
        return;
    }
    ReplaceSpanInPieces(plan, pieceEnds);
}

void ReplaceAll(const wchar_t* text, const wchar_t* replacement) { ReplaceAllWithin(text, replacement, {}); }
