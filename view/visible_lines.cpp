// Where the editor's visible display lines start and stand: asked of the
// control line by line, or taken from the paragraph index, the visible text
// and a model of the wrapping, confirmed by answers of the control, and
// followed through edits below the top of a view that did not scroll.
#include "view/visible_lines.h"

#include <richedit.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "document/document.h"
#include "view/editor_lines.h"
#include "view/view.h"
#include "view/wrap_model.h"

LineReading VisibleLineReading = LineReading::AskEachLine;
static bool WalksParagraphs = false;

namespace {

// Where lines can be seen: a line is visible while its bottom is below the
// formatting rectangle's top (the first visible line may stand partly above
// it), down to the bottom of the text area.
struct View {
    LONG left, top, bottom;
};

View ReadView(HWND edit) {
    RECT format = {}, client = {};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    GetClientRect(edit, &client);
    return {format.left, format.top, client.bottom};
}

std::vector<VisibleLine> AskEachLine(HWND edit, LONG bottom) {
    std::vector<VisibleLine> lines;
    int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    for (int line = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); line < count;
         ++line) {
        LONG start = LineStart(edit, line);
        if (start < 0) break;
        lines.push_back({start, TopOf(edit, start)});
        if (lines.back().top >= bottom) break;
    }
    return lines;
}

// Plain text in one font lays every display line out as high as the next;
// the first two lines tell how high, and asking about them costs little.
LONG UniformLineHeight(HWND edit, const ParagraphIndex& index) {
    LONG second = Autowrap ? LineStart(edit, 1) : (index.Count() > 1 ? index.ParagraphStart(1) : -1);
    return second > 0 ? TopOf(edit, second) - TopOf(edit, 0) : LineHeight;
}

LONG ParagraphEnd(const ParagraphIndex& index, int paragraph) {
    return paragraph + 1 < index.Count() ? index.ParagraphStart(paragraph + 1) - 1 : index.Length();
}

int RowsIn(View view, LONG height) { return (view.bottom - view.top) / std::max(height, 1L) + 1; }

// The lines from the first visible one down to the first at or below the
// view's bottom, `height` apart, the one at `anchor` standing at
// `anchorTop`. False when the starts do not reach so far up or down
// (`more`: whether there are lines before and after them).
bool PlaceLines(const std::vector<LONG>& starts, size_t anchor, LONG anchorTop, LONG height, View view,
                bool moreAbove, bool moreBelow, std::vector<VisibleLine>* lines, size_t* first) {
    *first = anchor;
    while (*first > 0 && anchorTop - static_cast<LONG>(anchor - *first) * height > view.top) --*first;
    LONG top = anchorTop - static_cast<LONG>(anchor - *first) * height;
    if (*first == 0 && moreAbove && top > view.top) return false;
    lines->clear();
    for (size_t line = *first; line < starts.size(); ++line, top += height) {
        lines->push_back({starts[line], top});
        if (top >= view.bottom) return true;
    }
    return !lines->empty() && !moreBelow;
}

// How much text is read at once.
constexpr LONG TextPiece = 16384;

// Whole paragraphs of the text, each with its mark.
struct TextWindow {
    int first = 0, last = -1;  // paragraphs
    LONG from = 0;
    std::wstring text;
    LONG End() const { return from + static_cast<LONG>(text.size()); }
};

// The paragraphs from `first` on that fit in a piece of text, up to `rows` of them (one at least).
int LastParagraphFor(const ParagraphIndex& index, int first, int rows) {
    int last = first;
    while (last + 1 < index.Count() && last - first < rows &&
           ParagraphEnd(index, last + 1) - index.ParagraphStart(first) <= TextPiece)
        ++last;
    return last;
}

// A paragraph too long for the model is not read for nothing; with word
// wrap off, neither is a long text that only a following reading needs.
bool ReadParagraphs(HWND edit, const ParagraphIndex& index, int first, int last, TextWindow* window) {
    *window = {first, last, index.ParagraphStart(first), std::wstring()};
    LONG to = std::min(ParagraphEnd(index, last) + 1, index.Length());
    if (!Autowrap) {
        if (to - window->from > 2 * TextPiece) return false;
    } else {
        for (int paragraph = first; paragraph <= last; ++paragraph)
            if (ParagraphEnd(index, paragraph) - index.ParagraphStart(paragraph) > WrapModelLength)
                return false;
    }
    window->text = ReadText(edit, window->from, to);
    return window->End() == to;
}

// What a reading found, and where, so that the next one can follow the
// edits made since instead of asking the control.
struct LinesFound {
    std::vector<VisibleLine> lines;
    bool hasText = false;      // the window's text was read
    TextWindow window;         // from the paragraph of the first visible line
    std::vector<LONG> starts;  // of all the window's lines
    size_t firstLine = 0;      // the first visible among them
    LONG height = 0;
    int lineCount = 0;  // the control's
};

// The starts of all the display lines of the window's paragraphs. Those
// of a paragraph whose text `before` held as well, with the same mark
// before it, are taken from there (`before` starting where the window
// does); the others are given to the model a few at a time.
bool PredictStarts(HWND edit, const ParagraphIndex& index, const TextWindow& window,
                   std::vector<LONG>* starts, const LinesFound* before = nullptr) {
    starts->clear();
    const std::wstring &now = window.text, &then = before ? before->window.text : now;
    size_t limit = before ? std::min(now.size(), then.size()) : 0, same = 0, sameAtEnd = 0;
    while (same < limit && now[same] == then[same]) ++same;
    while (sameAtEnd < limit - same && now[now.size() - 1 - sameAtEnd] == then[then.size() - 1 - sameAtEnd])
        ++sameAtEnd;
    int waiting = -1;  // the first paragraph not yet given to the model
    std::vector<LONG> offsets;
    auto predict = [&](int last) {
        if (waiting < 0) return true;
        LONG from = index.ParagraphStart(waiting), to = ParagraphEnd(index, last);
        waiting = -1;
        if (to > window.End() ||
            !PredictLineStarts(edit, window.text.data() + (from - window.from), to - from, &offsets))
            return false;
        for (LONG offset : offsets) starts->push_back(from + offset);
        return true;
    };
    for (int paragraph = window.first; paragraph <= window.last; ++paragraph) {
        LONG from = index.ParagraphStart(paragraph), to = ParagraphEnd(index, paragraph);
        if (!Autowrap) {
            starts->push_back(from);
            continue;
        }
        bool kept = to - window.from < static_cast<LONG>(same);
        bool keptAtEnd = from - window.from > static_cast<LONG>(now.size() - sameAtEnd);
        if (kept || keptAtEnd || (waiting >= 0 && to - index.ParagraphStart(waiting) > WrapModelLength)) {
            if (!predict(paragraph - 1)) return false;
        }
        if (kept || keptAtEnd) {
            LONG shift = kept ? 0 : static_cast<LONG>(now.size()) - static_cast<LONG>(then.size());
            auto line = std::lower_bound(before->starts.begin(), before->starts.end(), from - shift);
            for (; line != before->starts.end() && *line <= std::max(to - 1, from) - shift; ++line)
                starts->push_back(*line + shift);
        } else if (waiting < 0) {
            waiting = paragraph;
        }
    }
    return predict(window.last);
}

// The line holding `position`: the last that starts at or before it.
size_t LineHolding(const std::vector<LONG>& starts, LONG position) {
    return std::upper_bound(starts.begin(), starts.end(), position) - starts.begin() - 1;
}

// Keeps the window from the paragraph of the first visible line on.
bool Place(const ParagraphIndex& index, const TextWindow& window, const std::vector<LONG>& starts,
           size_t anchor, LONG anchorTop, LONG height, View view, LinesFound* found) {
    size_t first = 0;
    if (!PlaceLines(starts, anchor, anchorTop, height, view, window.first > 0,
                    window.last + 1 < index.Count(), &found->lines, &first))
        return false;
    found->window = window;
    found->window.first = index.ParagraphOf(starts[first]);
    found->window.from = index.ParagraphStart(found->window.first);
    found->window.text.erase(0, std::min<size_t>(found->window.from - window.from, window.text.size()));
    size_t paragraphLine = LineHolding(starts, found->window.from);
    found->starts.assign(starts.begin() + paragraphLine, starts.end());
    found->firstLine = first - paragraphLine;
    found->height = height;
    return true;
}

// The text from the first line read to the last, which is shown at the
// plain height once the last line's top is confirmed.
std::wstring_view ConfirmedText(const LinesFound& found) {
    return std::wstring_view(found.window.text)
        .substr(found.lines.front().start - found.window.from,
                found.lines.back().start - found.lines.front().start);
}

// A line is as high as the highest of the fonts its characters are drawn
// in. Where every character now in view was on the lines confirmed last
// time, all of the plain height, so are the lines now. (A surrogate is
// drawn only with its pair, which may not have been seen.)
bool OnlySeenCharacters(const LinesFound& last, const LinesFound& found) {
    std::vector<bool> seen(0x10000);
    for (wchar_t c : ConfirmedText(last)) seen[c] = true;
    for (wchar_t c : ConfirmedText(found))
        if (!seen[c] || (c >= 0xD800 && c < 0xE000)) return false;
    return true;
}

// The edit applied to the window's text, `length` being the document's
// before it: only edits inside the window (or at the end of the document
// when it reaches there) can be followed.
bool Patch(const ParagraphIndex::Edit& edit, LONG length, TextWindow* window) {
    if (edit.at < window->from || !edit.textKept || edit.at + edit.removed > window->End() ||
        (edit.at == window->End() && window->End() != length))
        return false;
    window->text.replace(edit.at - window->from, edit.removed, edit.inserted);
    return true;
}

// Where the view did not scroll and nothing changed above the paragraph
// of its first line, that line is the same display line as before, at the
// same top: the lines are those of the last reading with the edits made
// in its text since. The control's line count must have changed as they
// did (each edited paragraph was broken as predicted), and the last line's
// top is confirmed by one answer, unless no character in view can make a
// line higher than it was.
bool FollowEdits(HWND edit, const ParagraphIndex& index, View view, const LinesFound& last,
                 const std::vector<ParagraphIndex::Edit>& edits, LinesFound* found) {
    if (!last.hasText) return false;
    TextWindow window = last.window;
    LONG length = index.Length();
    for (const ParagraphIndex::Edit& e : edits) length += e.removed - e.insertedLength;
    for (const ParagraphIndex::Edit& e : edits) {
        if (!Patch(e, length, &window)) return false;
        length += e.insertedLength - e.removed;
    }
    window.first = index.ParagraphOf(window.from);
    window.last = window.End() == index.Length() ? index.Count() - 1 : index.ParagraphOf(window.End() - 1);
    std::vector<LONG> starts;
    if (index.ParagraphStart(window.first) != window.from ||
        (window.End() != index.Length() && !index.IsMark(window.End() - 1)) ||
        !PredictStarts(edit, index, window, &starts, &last) || last.firstLine >= starts.size() ||
        !Place(index, window, starts, last.firstLine, last.lines.front().top, last.height, view, found))
        return false;
    found->hasText = true;
    found->lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    if (found->lineCount - last.lineCount != static_cast<int>(starts.size() - last.starts.size()))
        return false;
    return OnlySeenCharacters(last, *found) ||
           TopOf(edit, found->lines.back().start) == found->lines.back().top;
}

// A fresh reading takes the first visible line's top from the first
// character's, which costs nothing to ask, as though every line above were
// as high as the first; its start, with word wrap off, from the paragraph
// that puts there; with it on, from the character at the view's top left.
// The text from its paragraph down is read (with word wrap off only for
// following edits, and not when long), and one answer about the last line
// confirms them all.
bool FreshReading(HWND edit, const ParagraphIndex& index, View view, LONG scrolled, LinesFound* found) {
    LONG height = UniformLineHeight(edit, index);
    if (height <= 0 || scrolled > view.top) return false;
    POINTL corner = {view.left, view.top};
    LONG firstStart =
        Autowrap ? static_cast<LONG>(SendMessageW(edit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)))
                 : index.ParagraphStart((view.top - scrolled) / height);
    LONG top = view.top - (view.top - scrolled) % height;
    int first = index.ParagraphOf(firstStart);
    TextWindow window = {first, first - 1, index.ParagraphStart(first)};
    std::vector<LONG> starts;
    bool complete = true;
    // Long paragraphs fill the view with few of them; more are read only when needed.
    do {
        TextWindow more;
        int last = LastParagraphFor(index, window.last + 1, RowsIn(view, height));
        complete = ReadParagraphs(edit, index, window.last + 1, last, &more) && complete;
        if (!complete && Autowrap) return false;
        window = {first, last, window.from, window.text + more.text};
        if (!PredictStarts(edit, index, window, &starts)) return false;
    } while (static_cast<LONG>(starts.size() - LineHolding(starts, firstStart)) * height <
                 view.bottom - top &&
             window.last + 1 < index.Count());
    size_t anchor = LineHolding(starts, firstStart);
    // The model must break where the control broke the first line.
    if (starts[anchor] != firstStart || !Place(index, window, starts, anchor, top, height, view, found) ||
        TopOf(edit, found->lines.back().start) != found->lines.back().top)
        return false;
    found->hasText = complete;
    return true;
}

// The last reading of an editor's lines from the index, and what it was
// made in: the layout, the index's revision and the scroll position.
struct Reading {
    HWND edit = nullptr;
    bool wrap = false;
    WrapLayout layout = {};
    unsigned revision = 0;
    LONG scrolled = 0;  // the first character's top
    LinesFound found;
};
Reading Last;

// The quickest of a few answers to EM_LINEINDEX for `line`, in counter ticks.
LONGLONG QuickestLineIndex(HWND edit, int line) {
    LONGLONG quickest = -1;
    for (int round = 0; round < 9; ++round) {
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        SendMessageW(edit, EM_LINEINDEX, line, 0);
        QueryPerformanceCounter(&after);
        LONGLONG took = after.QuadPart - before.QuadPart;
        if (quickest < 0 || took < quickest) quickest = took;
    }
    return quickest;
}

}  // namespace

// A hidden editor of a few thousand short paragraphs is asked where its
// second and its last line start. Where the control walks its paragraphs
// from the top for each such answer (Wine) the last costs dozens of times
// the second; where it keeps an array of its lines (Windows) about the
// same. What is measured is the cost that the index saves, so the choice
// holds for whatever control is installed, not for a platform's name. The
// quickest of several answers is compared, so that a busy machine does not
// sway it.
void ChooseLineReading() {
    constexpr int ProbeLines = 5000;
    constexpr LONGLONG SlowerAtTheEnd = 8;
    HWND probe = CreatePlainTextEditor(ES_MULTILINE, {0, 0, 400, 200}, nullptr, nullptr);
    if (!probe) return;
    SendMessageW(probe, EM_SETTARGETDEVICE, 0, 1);
    std::wstring text;
    for (int line = 1; line < ProbeLines; ++line) text += L"x\r";
    SendMessageW(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    LONGLONG second = QuickestLineIndex(probe, 1), last = QuickestLineIndex(probe, ProbeLines - 1);
    DestroyWindow(probe);
    WalksParagraphs = last > std::max<LONGLONG>(second, 1) * SlowerAtTheEnd;
    VisibleLineReading = WalksParagraphs ? LineReading::FromIndex : LineReading::AskEachLine;
}

bool ControlWalksItsParagraphs() { return WalksParagraphs; }

// Under Wine the answers about the first character and the line count
// cost nothing, while every other walks the document from the top. A
// reading made in the same layout, revision and scroll position as the
// last is the last, and edits in a view that did not scroll are followed.
std::vector<VisibleLine> ReadVisibleLines(HWND edit, const ParagraphIndex& index) {
    View view = ReadView(edit);
    if (VisibleLineReading == LineReading::FromIndex && index.Length() == CharacterCount(edit)) {
        Reading reading = {edit, Autowrap, ReadWrapLayout(edit), index.Revision(), TopOf(edit, 0)};
        std::vector<ParagraphIndex::Edit> edits;
        bool same = Last.edit == edit && Last.wrap == Autowrap && Last.scrolled == reading.scrolled &&
                    SameWrapLayout(Last.layout, reading.layout) && index.EditsSince(Last.revision, &edits);
        if (same && edits.empty()) return Last.found.lines;
        if ((same && FollowEdits(edit, index, view, Last.found, edits, &reading.found)) ||
            FreshReading(edit, index, view, reading.scrolled, &reading.found)) {
            reading.found.lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
            Last = std::move(reading);
            return Last.found.lines;
        }
        Last.edit = nullptr;
    }
    return AskEachLine(edit, view.bottom);
}

// With word wrap off a display line is a paragraph; with it on, a
// position in view is on one of the lines read for the gutter anyway.
LONG DisplayLineStart(HWND edit, const ParagraphIndex& index, LONG position) {
    if (VisibleLineReading == LineReading::FromIndex) {
        if (!Autowrap) return index.ParagraphStart(index.ParagraphOf(position));
        std::vector<VisibleLine> lines = ReadVisibleLines(edit, index);
        auto after = std::upper_bound(lines.begin(), lines.end(), position,
                                      [](LONG at, const VisibleLine& line) { return at < line.start; });
        // The last line read is below the view, unless the document ends above its bottom.
        if (after != lines.begin() && (after != lines.end() || lines.back().top < ReadView(edit).bottom))
            return (after - 1)->start;
    }
    return LineStart(edit, LineOf(edit, position));
}
