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
#include "view/view.h"
#include "view/wrap_model.h"

LineReading VisibleLineReading = LineReading::AskEachLine;
static bool WalksParagraphs = false;

namespace {

// Under Wine each of these answers walks the paragraphs from the top of
// the document, unless asked about the first lines.
LONG LineStart(HWND edit, int line) { return static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, line, 0)); }

LONG TopOf(HWND edit, LONG position) {
    POINTL point = {};
    SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), position);
    return point.y;
}

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

// The most text read at once: whole paragraphs the model can take, and
// enough of them to fill a view of long lines.
constexpr LONG TextPiece = 4 * WrapModelLength;

// A reading of an editor's lines from the index, and what it was made in
// (the layout, the index's revision and the scroll position), so that the
// next one can be the same or follow the edits made since.
struct Reading {
    HWND edit = nullptr;
    bool wrap = false;
    WrapLayout layout = {};
    unsigned revision = 0;
    LONG scrolled = 0;  // the first character's top
    // Whole paragraphs from that of the first visible line, each with its
    // mark (or none when not read), and all their display lines.
    LONG from = 0;
    bool hasText = false;
    std::wstring text;
    std::vector<LONG> starts;
    size_t first = 0;  // the first visible of the starts
    LONG height = 0;
    int lineCount = 0;  // the control's
    std::vector<VisibleLine> lines;
};
Reading Last;

// The starts of the display lines of the paragraphs `first` to `last`: one
// a paragraph with word wrap off; with it on, the model lays the text out,
// as many paragraphs at once as it takes. A paragraph that the reading
// `before` held too, all before the first character that differs or all
// after the last (with the mark before it), keeps the lines it had there.
bool PredictStarts(HWND edit, const ParagraphIndex& index, int first, int last, Reading* reading,
                   const Reading* before = nullptr) {
    const std::wstring &now = reading->text, &then = before ? before->text : now;
    LONG limit = before ? static_cast<LONG>(std::min(now.size(), then.size())) : 0, same = 0, sameAtEnd = 0;
    LONG size = static_cast<LONG>(now.size()), shift = size - static_cast<LONG>(then.size());
    while (same < limit && now[same] == then[same]) ++same;
    while (sameAtEnd < limit - same && now[size - 1 - sameAtEnd] == then[size - shift - 1 - sameAtEnd])
        ++sameAtEnd;
    auto keptBefore = [&](int p) { return ParagraphEnd(index, p) - reading->from < same; };
    auto keptAfter = [&](int p) { return index.ParagraphStart(p) - reading->from > size - sameAtEnd; };
    reading->starts.clear();
    std::vector<LONG> offsets;
    for (int batch = first, end = first; batch <= last; batch = ++end) {
        LONG from = index.ParagraphStart(batch);
        if (!Autowrap) {
            reading->starts.push_back(from);
        } else if (keptBefore(batch) || keptAfter(batch)) {
            LONG moved = keptBefore(batch) ? 0 : shift, to = std::max(ParagraphEnd(index, batch) - 1, from);
            for (auto line = std::lower_bound(before->starts.begin(), before->starts.end(), from - moved);
                 line != before->starts.end() && *line <= to - moved; ++line)
                reading->starts.push_back(*line + moved);
        } else {
            while (end < last && !keptBefore(end + 1) && !keptAfter(end + 1) &&
                   ParagraphEnd(index, end + 1) - from <= WrapModelLength)
                ++end;
            LONG at = from - reading->from, to = ParagraphEnd(index, end) - reading->from;
            if (to > size || !PredictLineStarts(edit, now.data() + at, to - at, &offsets)) return false;
            for (LONG offset : offsets) reading->starts.push_back(from + offset);
        }
    }
    return true;
}

// The lines from the first visible one, standing at `top`, down to the
// first at or below the view's bottom, or to the document's end.
bool Place(Reading* reading, LONG top, View view, bool moreBelow) {
    reading->lines.clear();
    for (size_t line = reading->first; line < reading->starts.size(); ++line, top += reading->height) {
        reading->lines.push_back({reading->starts[line], top});
        if (top >= view.bottom) return true;
    }
    return !reading->lines.empty() && !moreBelow;
}

// The text from the first line read to the last, which is shown at the
// plain height once the last line's top is confirmed.
std::wstring_view ConfirmedText(const Reading& reading) {
    return std::wstring_view(reading.text)
        .substr(reading.lines.front().start - reading.from,
                reading.lines.back().start - reading.lines.front().start);
}

// A line is as high as the highest of the fonts its characters are drawn
// in. Where every character now in view was on the lines confirmed last
// time, all of the plain height, so are the lines now. (A surrogate is
// drawn only with its pair, which may not have been seen.)
bool OnlySeenCharacters(const Reading& last, const Reading& now) {
    std::vector<bool> seen(0x10000);
    for (wchar_t c : ConfirmedText(last)) seen[c] = true;
    for (wchar_t c : ConfirmedText(now))
        if (!seen[c] || (c >= 0xD800 && c < 0xE000)) return false;
    return true;
}

// Where the view did not scroll and nothing changed above the paragraph
// of its first line, that line is the same display line as before, at the
// same top: the lines are those of the last reading's text with the edits
// made in it since (only edits inside it, or at the document's end when it
// reaches there, can be followed). The control's line count must have
// changed as they did, and the last line's top is confirmed by one answer,
// unless no character in view can make a line higher than it was.
bool FollowEdits(HWND edit, const ParagraphIndex& index, View view, const Reading& last,
                 const std::vector<ParagraphIndex::Edit>& edits, Reading* now) {
    if (!last.hasText) return false;
    now->from = last.from;
    now->text = last.text;
    LONG length = index.Length();
    for (const ParagraphIndex::Edit& e : edits) length -= static_cast<LONG>(e.inserted.size()) - e.removed;
    for (const ParagraphIndex::Edit& e : edits) {
        LONG end = now->from + static_cast<LONG>(now->text.size());
        if (e.at < now->from || e.at + e.removed > end || (e.at == end && end != length)) return false;
        now->text.replace(e.at - now->from, e.removed, e.inserted);
        length += static_cast<LONG>(e.inserted.size()) - e.removed;
    }
    LONG end = now->from + static_cast<LONG>(now->text.size());
    int first = index.ParagraphOf(now->from), lastParagraph = index.ParagraphOf(end - 1);
    if (end == index.Length()) lastParagraph = index.Count() - 1;
    else if (!index.IsMark(end - 1)) return false;
    now->hasText = true;
    now->first = last.first;
    now->height = last.height;
    if (index.ParagraphStart(first) != now->from ||
        !PredictStarts(edit, index, first, lastParagraph, now, &last) || now->first >= now->starts.size() ||
        !Place(now, last.lines.front().top, view, lastParagraph + 1 < index.Count()))
        return false;
    now->lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    if (now->lineCount - last.lineCount != static_cast<int>(now->starts.size() - last.starts.size()))
        return false;
    return OnlySeenCharacters(last, *now) || TopOf(edit, now->lines.back().start) == now->lines.back().top;
}

// A fresh reading takes the first visible line's top from the first
// character's, which costs nothing to ask, as though every line above were
// as high as the first; its start, with word wrap off, from the paragraph
// that puts there; with it on, from the character at the view's top left.
// The text of as many paragraphs as the view has rows is read (with word
// wrap off only for following edits, and not when long), and one answer
// about the last line confirms them all.
bool FreshReading(HWND edit, const ParagraphIndex& index, View view, Reading* now) {
    POINTL corner = {view.left, view.top};
    LONG firstStart =
        Autowrap ? static_cast<LONG>(SendMessageW(edit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)))
                 : index.ParagraphStart((view.top - now->scrolled) / now->height);
    int first = index.ParagraphOf(firstStart), last = first;
    now->from = index.ParagraphStart(first);
    LONG rows = (view.bottom - view.top) / now->height + 1;
    while (last + 1 < index.Count() && last - first < rows &&
           (!Autowrap || ParagraphEnd(index, last + 1) - now->from <= TextPiece))
        ++last;
    // A paragraph too long for the model is not read for nothing.
    for (int p = first; Autowrap && p <= last; ++p)
        if (ParagraphEnd(index, p) - index.ParagraphStart(p) > WrapModelLength) return false;
    LONG to = std::min(ParagraphEnd(index, last) + 1, index.Length());
    now->text = to - now->from <= TextPiece ? ReadText(edit, now->from, to) : std::wstring();
    now->hasText = static_cast<LONG>(now->text.size()) == to - now->from;
    if ((Autowrap && !now->hasText) || !PredictStarts(edit, index, first, last, now)) return false;
    now->first = std::upper_bound(now->starts.begin(), now->starts.end(), firstStart) - now->starts.begin() - 1;
    // The model must break where the control broke the first line.
    return now->starts[now->first] == firstStart &&
           Place(now, view.top - (view.top - now->scrolled) % now->height, view, last + 1 < index.Count()) &&
           TopOf(edit, now->lines.back().start) == now->lines.back().top;
}

// With word wrap on and the document's end in view, the lines are placed
// up from the last, whose place follows from the control's line count
// (which costs nothing to ask), so the character at the view's top left
// need not be asked. One answer about the first visible line confirms the
// count and the height of every line above it; the lines below it are of
// the plain height where every character in view was on lines confirmed
// in the same layout before (`seen`), and are confirmed by the last line's
// top otherwise.
bool ReadingFromTheEnd(HWND edit, const ParagraphIndex& index, View view, const Reading* seen, Reading* now) {
    if (!Autowrap) return false;
    LONG count = static_cast<LONG>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    LONG above = (view.top - now->scrolled) / now->height, rows = count - above;
    if (rows <= 0 || now->scrolled + (count - 1) * now->height >= view.bottom) return false;
    // Each paragraph has a line at least, so the last `rows` hold the lines in view.
    int last = index.Count() - 1, first = std::max(0, index.Count() - static_cast<int>(rows));
    while (first < last && index.Length() - index.ParagraphStart(first) > TextPiece) ++first;
    for (int p = first; p <= last; ++p)
        if (ParagraphEnd(index, p) - index.ParagraphStart(p) > WrapModelLength) return false;
    now->from = index.ParagraphStart(first);
    now->text = ReadText(edit, now->from, index.Length());
    now->hasText = static_cast<LONG>(now->text.size()) == index.Length() - now->from;
    if (!now->hasText) return false;
    // The model lays out no more paragraphs than the view needs, taken a
    // half view at a time up from the last.
    std::vector<LONG> starts;
    int from = last + 1;
    while (from > first && starts.size() < static_cast<size_t>(rows)) {
        int to = from - 1;
        from = std::max(first, from - static_cast<int>((rows + 1) / 2));
        if (!PredictStarts(edit, index, from, to, now)) return false;
        now->starts.insert(now->starts.end(), starts.begin(), starts.end());
        starts = std::move(now->starts);
    }
    if (starts.size() < static_cast<size_t>(rows)) return false;
    now->starts = std::move(starts);
    now->text.erase(0, index.ParagraphStart(from) - now->from);
    now->from = index.ParagraphStart(from);
    now->first = now->starts.size() - rows;
    return Place(now, now->scrolled + above * now->height, view, false) &&
           TopOf(edit, now->lines.front().start) == now->lines.front().top &&
           ((seen && OnlySeenCharacters(*seen, *now)) ||
            TopOf(edit, now->lines.back().start) == now->lines.back().top);
}

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
        Reading now = {edit, Autowrap, ReadWrapLayout(edit), index.Revision(), TopOf(edit, 0)};
        std::vector<ParagraphIndex::Edit> edits;
        bool sameLayout = Last.edit == edit && Last.wrap == Autowrap && SameWrapLayout(Last.layout, now.layout);
        bool same = sameLayout && Last.scrolled == now.scrolled && index.EditsSince(Last.revision, &edits);
        if (same && edits.empty()) return Last.lines;
        // A fresh reading takes the lines as high as the first two, and the
        // first line's top from the first character's, above the view.
        auto fresh = [&] {
            now.height = UniformLineHeight(edit, index);
            if (now.height <= 0 || now.scrolled > view.top) return false;
            const Reading* seen = sameLayout && Last.hasText && !Last.lines.empty() ? &Last : nullptr;
            return ReadingFromTheEnd(edit, index, view, seen, &now) || FreshReading(edit, index, view, &now);
        };
        if ((same && FollowEdits(edit, index, view, Last, edits, &now)) || fresh()) {
            now.lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
            Last = std::move(now);
            return Last.lines;
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
    return LineStart(edit, static_cast<int>(SendMessageW(edit, EM_EXLINEFROMCHAR, 0, position)));
}
