// Where the editor's visible display lines start and stand: asked of the
// control line by line, or taken from the paragraph index and the visible
// text and confirmed with one answer of the control.
#include "view/visible_lines.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "app/app.h"
#include "document/document.h"
#include "view/editor_lines.h"
#include "view/view.h"
#include "view/wrap_model.h"

LineReading VisibleLineReading = LineReading::AskEachLine;
static bool WalksParagraphs = false;

namespace {

int FirstVisibleLine(HWND edit) { return static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }

std::vector<VisibleLine> AskEachLine(HWND edit, int bottom) {
    std::vector<VisibleLine> lines;
    int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    for (int line = FirstVisibleLine(edit); line < count; ++line) {
        LONG start = LineStart(edit, line);
        if (start < 0) break;
        lines.push_back({start, TopOf(edit, start)});
        if (lines.back().top >= bottom) break;
    }
    return lines;
}

// Plain text in one font lays every display line out as high as the next;
// the first two lines tell how high, and asking about them costs little.
LONG UniformLineHeight(HWND edit, LONG secondLineStart) {
    return secondLineStart > 0 ? TopOf(edit, secondLineStart) - TopOf(edit, 0) : LineHeight;
}

// With word wrap off display line d is paragraph d.
bool PredictUnwrapped(HWND edit, const ParagraphIndex& index, int bottom, std::vector<VisibleLine>* lines) {
    LONG top = TopOf(edit, 0);
    LONG height = UniformLineHeight(edit, index.Count() > 1 ? index.ParagraphStart(1) : -1);
    for (int paragraph = FirstVisibleLine(edit); paragraph < index.Count(); ++paragraph) {
        lines->push_back({index.ParagraphStart(paragraph), top + paragraph * height});
        if (lines->back().top >= bottom) break;
    }
    return true;
}

// How much visible text is read at once.
constexpr LONG TextPiece = 16384;

LONG ParagraphEnd(const ParagraphIndex& index, int paragraph) {
    return paragraph + 1 < index.Count() ? index.ParagraphStart(paragraph + 1) - 1 : index.Length();
}

// With word wrap on the model breaks each visible paragraph, from the
// paragraph of the first visible line, whose start and top are asked.
bool PredictWrapped(HWND edit, const ParagraphIndex& index, int bottom, std::vector<VisibleLine>* lines) {
    LONG firstStart = LineStart(edit, FirstVisibleLine(edit));
    if (firstStart < 0) return false;
    LONG top = TopOf(edit, firstStart);
    LONG height = UniformLineHeight(edit, LineStart(edit, 1));
    int paragraph = index.ParagraphOf(firstStart);
    const LONG textFrom = index.ParagraphStart(paragraph);
    std::wstring text;  // from textFrom on
    std::vector<LONG> starts;
    for (; paragraph < index.Count(); ++paragraph) {
        LONG from = index.ParagraphStart(paragraph), to = ParagraphEnd(index, paragraph);
        if (to - from > WrapModelLength) return false;
        if (to > textFrom + static_cast<LONG>(text.size())) {
            LONG readFrom = textFrom + static_cast<LONG>(text.size());
            LONG readTo = std::min(index.Length(), std::max(to, readFrom + TextPiece));
            std::wstring piece = ReadText(edit, readFrom, readTo);
            if (static_cast<LONG>(piece.size()) != readTo - readFrom) return false;
            text += piece;
        }
        if (!PredictLineStarts(edit, text.data() + (from - textFrom), to - from, &starts)) return false;
        for (LONG offset : starts) {
            LONG start = from + offset;
            if (start < firstStart) continue;
            // The model must break where the control broke the first line.
            if (lines->empty() && start != firstStart) return false;
            lines->push_back({start, top});
            if (top >= bottom) return true;
            top += height;
        }
    }
    return true;
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

// One answer of the control confirms the lines read from the index: had
// any of them been predicted wrong, the last would stand elsewhere.
std::vector<VisibleLine> ReadVisibleLines(HWND edit, const ParagraphIndex& index, int bottom) {
    if (VisibleLineReading == LineReading::FromIndex) {
        std::vector<VisibleLine> lines;
        bool predicted = Autowrap ? PredictWrapped(edit, index, bottom, &lines)
                                  : PredictUnwrapped(edit, index, bottom, &lines);
        if (predicted && !lines.empty() && TopOf(edit, lines.back().start) == lines.back().top) return lines;
    }
    return AskEachLine(edit, bottom);
}

// With word wrap on, the model breaks the position's paragraph, unless it
// is too long for it.
LONG DisplayLineStart(HWND edit, const ParagraphIndex& index, LONG position) {
    if (VisibleLineReading == LineReading::FromIndex) {
        int paragraph = index.ParagraphOf(position);
        LONG from = index.ParagraphStart(paragraph), to = ParagraphEnd(index, paragraph);
        if (!Autowrap) return from;
        std::wstring text = ReadText(edit, from, to);
        std::vector<LONG> starts;
        if (static_cast<LONG>(text.size()) == to - from &&
            PredictLineStarts(edit, text.data(), to - from, &starts))
            return from + *(std::upper_bound(starts.begin(), starts.end(), position - from) - 1);
    }
    return LineStart(edit, LineOf(edit, position));
}
