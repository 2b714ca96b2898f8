// Counting the display lines that begin a logical line (a paragraph): a
// line begins one exactly when the line before it ends at a paragraph
// mark, so the count above a line is the count of paragraph marks above
// it, read from the text and counted on from the last line asked for.
#include "view/logical_lines.h"

#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "view/editor_lines.h"

LONG ScanPieceLength = 1 << 20;

namespace {

// Whether a line that begins a logical line starts right after the
// vertical tab at `position`.
bool SoftBreakBeginsLogicalLine(HWND edit, LONG position) {
    LONG next = position + 1;
    int line = LineOf(edit, next);
    if (line <= 0 || LineStart(edit, line) != next) return false;
    return !LineRunsOn(edit, line - 1, -1, next, L'\v');
}

// A display line whose logical count is known, to count on from.
struct LogicalAnchor {
    bool valid = false;
    unsigned serial = 0;
    LayoutPrint print = {};
    int lineCount = 0;
    int line = 0;
    LONG start = 0;
    LogicalCount before = {0, false};
};

LogicalAnchor Anchor;

// Whether the rich edit control breaks a line at a vertical tab, as
// Windows' does (its soft line break); Wine's does not. Asked once, of a
// control of its own.
bool VerticalTabBreaksLines() {
    static int answer = -1;
    if (answer < 0) {
        HWND probe = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE, 0, 0, 400, 200, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        answer = 1;
        if (probe) {
            SendMessageW(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\vb"));
            answer = SendMessageW(probe, EM_GETLINECOUNT, 0, 0) > 1 ? 1 : 0;
            DestroyWindow(probe);
        }
    }
    return answer == 1;
}

// What a scan of the text [from, to) found: the line breaks at positions
// [countFrom, countTo) that begin a logical line, and the characters at
// `from` and at to - 1 (0 for an empty range).
struct BreakScan {
    int count = 0;
    wchar_t first = 0, last = 0;
};

// Reads the text a piece at a time into one buffer kept for the purpose:
// megabytes read at once cost more in fresh memory than in reading. Each
// piece is a text-range read, which under Wine walks the paragraphs up to
// its start, so the pieces are large.
BreakScan ScanBreaks(HWND edit, LONG from, LONG to, LONG countFrom, LONG countTo) {
    static std::vector<wchar_t> piece;
    BreakScan scan;
    for (LONG start = from; start < to;) {
        LONG end = std::min(to, start + std::max(ScanPieceLength, 1L));
        LONG read = ReadTextInto(edit, start, end, piece);
        if (read <= 0) break;
        const wchar_t* text = piece.data();
        if (start == from) scan.first = text[0];
        scan.last = text[read - 1];
        LONG low = std::clamp(countFrom, start, start + read), high = std::clamp(countTo, start, start + read);
        if (low < high) {
            const wchar_t* begin = text + (low - start);
            const wchar_t* stop = text + (high - start);
            scan.count += static_cast<int>(std::count(begin, stop, L'\r'));
            for (const wchar_t* tab = std::find(begin, stop, L'\v'); tab != stop;
                 tab = std::find(tab + 1, stop, L'\v')) {
                if (SoftBreakBeginsLogicalLine(edit, start + static_cast<LONG>(tab - text))) ++scan.count;
            }
        }
        start += read;
    }
    return scan;
}

// Where no line breaks but at paragraph marks, the lines before the one
// starting at `lineStart` that begin a logical line are those after the
// marks above it: all the marks but those from lineStart - 1 on. Reading
// the text below a line near the end costs less than reading all above.
bool CountFromTheEnd(HWND edit, const LayoutPrint& print, int line, LONG lineStart, LogicalCount* result) {
    if (VerticalTabBreaksLines()) return false;
    LONG marks = CountParagraphMarks(edit, print.textLength);
    if (marks < 0) return false;
    BreakScan below;
    std::wstring text;
    if (TextReadToTheEnd(print, lineStart - 1, &text) && !text.empty()) {
        below.count = static_cast<int>(std::count(text.begin(), text.end(), L'\r'));
        below.first = text.front();
    } else {
        below = ScanBreaks(edit, lineStart - 1, print.textLength, lineStart - 1, print.textLength);
    }
    if (below.count > marks || below.first == 0) return false;
    result->count = 1 + static_cast<int>(marks - below.count);
    result->continues = LineRunsOn(edit, line - 1, -1, lineStart, below.first);
    return true;
}

}  // namespace

LogicalCount CountLogicalLinesBefore(HWND edit, const LayoutPrint& print, int line, LONG lineStart,
                                     int lineCount) {
    if (!print.wrap) return {line, false};  // every display line begins a logical line
    if (line <= 0) return {0, false};
    bool anchored = Anchor.valid && Anchor.serial == TextGeneration() && !GutterDirty &&
                    Anchor.lineCount == lineCount && SameLayout(Anchor.print, print);
    if (!anchored) Anchor.line = 0, Anchor.start = 0, Anchor.before = {0, false};

    LogicalCount result = Anchor.before;
    bool nearerTheEnd = print.textLength - lineStart < lineStart - Anchor.start;
    if (line > Anchor.line && !(nearerTheEnd && CountFromTheEnd(edit, print, line, lineStart, &result))) {
        // The anchor line itself, and each line after a break before lineStart - 1.
        BreakScan scan = ScanBreaks(edit, Anchor.start, lineStart, Anchor.start, lineStart - 1);
        result.count += (Anchor.before.continues ? 0 : 1) + scan.count;
        result.continues = LineRunsOn(edit, line - 1, -1, lineStart, scan.last);
    } else if (line < Anchor.line) {
        BreakScan scan = ScanBreaks(edit, lineStart - 1, Anchor.start, lineStart, Anchor.start - 1);
        result.continues = LineRunsOn(edit, line - 1, -1, lineStart, scan.first);
        result.count -= (result.continues ? 0 : 1) + scan.count;
    }
    Anchor = {true, TextGeneration(), print, lineCount, line, lineStart, result};
    return result;
}

int CountLogicalLines(HWND edit, const LayoutPrint& print, int lineCount) {
    if (!print.wrap) return lineCount;
    LONG marks = VerticalTabBreaksLines() ? -1 : CountParagraphMarks(edit, print.textLength);
    if (marks >= 0) return 1 + static_cast<int>(marks);
    return 1 + ScanBreaks(edit, 0, print.textLength, 0, print.textLength).count;
}
