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
#include <map>
#include <new>
#include <string>
#include <vector>

#include "app/app_values.h"
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

// Which letters the control takes as equal without FR_MATCHCASE is its
// own affair: Wine's folds A to Z alone, Windows' folds other letters too.
// So matches are first looked for among candidates equal under a folding
// broad enough for either (each unit upper-cased, then lower-cased, by the
// system's invariant tables); a candidate that equals the search text
// with A to Z folded alone is a match for any control, and any other is
// put to the control itself, over its range, once per spelling.
static const wchar_t* BroadFoldTable() {
    static wchar_t table[0x10000];
    static bool made = false;
    if (made) return table;
    for (size_t c = 0; c < 0x10000; ++c) table[c] = static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c + 32 : c);
    // U+0000 and the surrogates are left alone: they are no letters, and
    // one of them could fail a whole range's mapping.
    const size_t ranges[][2] = {{1, 0xD800}, {0xE000, 0x10000}};
    std::vector<wchar_t> upper(0x10000);
    for (const auto& range : ranges) {
        int count = static_cast<int>(range[1] - range[0]);
        if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, table + range[0], count, upper.data(),
                          count, nullptr, nullptr, 0) != count)
            continue;
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, upper.data(), count, table + range[0], count,
                      nullptr, nullptr, 0);
    }
    made = true;
    return table;
}

static wchar_t FoldAsciiCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

// Where the broadly folded search text next matches at or after `from`,
// or npos. The text is folded as it is compared rather than copied first.
static size_t FindCandidate(const std::wstring& text, const std::wstring& foldedSearch, size_t from,
                            const wchar_t* fold) {
    const size_t length = foldedSearch.size();
    if (text.size() < length) return std::wstring::npos;
    for (size_t at = from; at + length <= text.size(); ++at) {
        if (fold[text[at]] != foldedSearch[0]) continue;
        size_t matched = 1;
        while (matched < length && fold[text[at + matched]] == foldedSearch[matched]) ++matched;
        if (matched == length) return at;
    }
    return std::wstring::npos;
}

// Whether the candidate at `at` matches as Find would match it.
class MatchJudge {
public:
    MatchJudge(HWND edit, const std::wstring& text, const std::wstring& search)
        : edit_(edit), text_(text), search_(search) {}
    bool Matches(size_t at) {
        const size_t length = search_.size();
        size_t same = 0;
        while (same < length && FoldAsciiCase(text_[at + same]) == FoldAsciiCase(search_[same])) ++same;
        if (same == length) return true;
        std::wstring spelling = text_.substr(at, length);
        auto known = verdicts_.find(spelling);
        if (known != verdicts_.end()) return known->second;
        CHARRANGE range = {static_cast<LONG>(at), static_cast<LONG>(at + length)};
        bool matches = MatchesWithoutCase(edit_, search_.c_str(), range);
        verdicts_.emplace(std::move(spelling), matches);
        return matches;
    }

private:
    HWND edit_;
    const std::wstring& text_;
    const std::wstring& search_;
    std::map<std::wstring, bool> verdicts_;
};

// Each search starts where the previous replacement's text ends, counted
// with the replacement's length as given: when the control stored it
// shorter (line breaks), the search starts that much further on.
static ReplaceAllPlan PlanReplaceAll(HWND edit, const std::wstring& text, const std::wstring& search,
                                     const std::wstring& replacement) {
    ReplaceAllPlan plan;
    if (search.empty()) return plan;
    std::wstring stored = NormalizeLineBreaks(replacement);
    size_t skip = replacement.size() - stored.size();
    const wchar_t* fold = BroadFoldTable();
    std::wstring foldedSearch(search);
    for (wchar_t& c : foldedSearch) c = fold[c];
    MatchJudge judge(edit, text, search);
    plan.middle.reserve(text.size());
    size_t from = 0;
    size_t copied = 0;  // the old text is in the plan up to here
    while (from <= text.size()) {
        size_t at = FindCandidate(text, foldedSearch, from, fold);
        if (at == std::wstring::npos) break;
        if (!judge.Matches(at)) {
            from = at + 1;
            continue;
        }
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
    LONG length = CharacterCount(EditControl);
    if (length <= 0) return std::wstring();
    return ReadTextEx(EditControl, length, GT_DEFAULT);
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
        plan = PlanReplaceAll(EditControl, current, text, replacement);
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
