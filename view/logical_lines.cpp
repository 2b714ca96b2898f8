// Counting the display lines that begin a logical line (a paragraph): a
// line begins one exactly when the line before it ends at a paragraph
// mark, so the count above a line is the count of paragraph marks above
// it, read from the text and counted on from the last line asked for.
#include "view/logical_lines.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "app/app.h"
#include "view/editor_lines.h"

namespace {

// Whether a line that begins a logical line starts right after the
// vertical tab at `position`.
bool SoftBreakBeginsLogicalLine(HWND edit, LONG position) {
    LONG next = position + 1;
    int line = LineOf(edit, next);
    if (line <= 0 || LineStart(edit, line) != next) return false;
    return !LineRunsOn(edit, line - 1, -1, next, L'\v');
}

// Lines that begin a logical line right after a line break at one of the
// text[from, to) positions, where `text` starts at `textStart`.
int LogicalStartsAfterBreaks(HWND edit, const std::wstring& text, LONG textStart, LONG from, LONG to) {
    int count = 0;
    for (LONG p = std::max(from, textStart); p < to && p - textStart < static_cast<LONG>(text.size()); ++p) {
        wchar_t c = text[p - textStart];
        if (c == L'\r' || (c == L'\v' && SoftBreakBeginsLogicalLine(edit, p))) ++count;
    }
    return count;
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

// Where no line breaks but at paragraph marks, the lines before the one
// starting at `lineStart` that begin a logical line are those after the
// marks above it: all the marks but those from lineStart - 1 on. Reading
// the text below a line near the end costs less than reading all above.
bool CountFromTheEnd(HWND edit, const LayoutPrint& print, int line, LONG lineStart, LogicalCount* result) {
    if (VerticalTabBreaksLines()) return false;
    LONG marks = CountParagraphMarks(edit, print.textLength);
    if (marks < 0) return false;
    std::wstring text;
    if (!TextReadToTheEnd(print, lineStart - 1, &text))
        text = ReadText(edit, lineStart - 1, print.textLength);
    LONG below = static_cast<LONG>(std::count(text.begin(), text.end(), L'\r'));
    if (below > marks || text.empty()) return false;
    result->count = 1 + static_cast<int>(marks - below);
    result->continues = LineRunsOn(edit, line - 1, -1, lineStart, text.front());
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
        std::wstring text = ReadText(edit, Anchor.start, lineStart);
        result.count += (Anchor.before.continues ? 0 : 1) +
                        LogicalStartsAfterBreaks(edit, text, Anchor.start, Anchor.start, lineStart - 1);
        result.continues = LineRunsOn(edit, line - 1, -1, lineStart, text.empty() ? 0 : text.back());
    } else if (line < Anchor.line) {
        std::wstring text = ReadText(edit, lineStart - 1, Anchor.start);
        result.continues = LineRunsOn(edit, line - 1, -1, lineStart, text.empty() ? 0 : text.front());
        result.count -= (result.continues ? 0 : 1) +
                        LogicalStartsAfterBreaks(edit, text, lineStart - 1, lineStart, Anchor.start - 1);
    }
    Anchor = {true, TextGeneration(), print, lineCount, line, lineStart, result};
    return result;
}

int CountLogicalLines(HWND edit, const LayoutPrint& print, int lineCount) {
    if (!print.wrap) return lineCount;
    LONG marks = VerticalTabBreaksLines() ? -1 : CountParagraphMarks(edit, print.textLength);
    if (marks >= 0) return 1 + static_cast<int>(marks);
    std::wstring text = ReadText(edit, 0, print.textLength);
    return 1 + LogicalStartsAfterBreaks(edit, text, 0, 0, static_cast<LONG>(text.size()));
}
