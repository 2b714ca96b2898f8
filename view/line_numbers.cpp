// The logical line number of each display line (LineNumberCache and its
// state), kept up to date for the visible lines, and the gutter's width
// for the numbers it must show.
#include "view/line_numbers.h"

#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "app/app.h"
#include "view/gdi_scope.h"
#include "view/logical_lines.h"
#include "view/view.h"

std::vector<int32_t> LineNumberCache;
int CacheFirstLine = -1;
int CacheLineCount = 0;
int CacheLogicalCount = 0;
bool CacheContinues = false;
int DigitThreshold = 10;

// Lines CacheFirstLine .. NumberedEnd - 1 were numbered by the last refresh.
static int NumberedEnd = -1;
// The editor's layout at the last refresh: a new font, zoom or width lays
// the lines out anew even when their count and the first visible line
// happen to stay.
static LayoutPrint RefreshPrint = {};
static unsigned RefreshGeneration = 0;

static int MeasureGutterText(HWND window, const wchar_t* text) {
    WindowDc dc(window);
    SelectedObject font(dc.Get(), GutterFont);
    SIZE size = {};
    GetTextExtentPoint32W(dc.Get(), text, lstrlenW(text), &size);
    return size.cx;
}

// The gutter grows by a digit when the largest visible number reaches
// DigitThreshold; returns true when the main window was laid out anew.
static bool WidenForDigits(int largest) {
    if (largest < DigitThreshold) return false;
    while (DigitThreshold <= largest) DigitThreshold *= 10;
    wchar_t nines[16];
    swprintf(nines, 16, L"%d", DigitThreshold - 1);
    int width = GutterWidthForText(MeasureGutterText(GutterWindow, nines));
    RECT rect;
    GetWindowRect(GutterWindow, &rect);
    if (rect.right - rect.left == width) return false;
    GutterWidth = width;
    LayoutMainWindow(GetParent(GutterWindow));
    return true;
}

// The lines at the end of the text are read up from the caret there when
// it can be done; otherwise the first visible line is asked for, and the
// lines are read when it or anything else changed since the last refresh.
// (With word wrap off the read from the caret usually costs no walk of the
// document, which asking for the first visible line does.)
RefreshedLines RefreshLineNumbers(HWND edit, int visibleBottom) {
    int lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    LayoutPrint print = ReadLayoutPrint(edit);
    bool changed = GutterDirty || RefreshGeneration != TextGeneration() || lineCount != CacheLineCount ||
                   !SameLayout(print, RefreshPrint);
    if (GutterDirty) {
        ForgetDisplayLines();
        GutterDirty = false;
    }
    bool endNumbered = !changed && NumberedEnd == lineCount;
    const DisplayLineRange* read =
        endNumbered && print.wrap ? nullptr : ReadLinesAtTheEnd(edit, print, lineCount, visibleBottom);
    int first = read ? read->first : static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (!changed && first == CacheFirstLine) return {true, lineCount, first, read};
    LineNumberCache.resize(static_cast<size_t>(lineCount) + 32);
    const DisplayLineRange& range =
        read ? *read : ReadDisplayLines(edit, print, first, lineCount, visibleBottom);
    LogicalCount before = {0, false};
    if (!range.lines.empty())
        before = CountLogicalLinesBefore(edit, print, first, range.lines[0].start, lineCount);
    CacheFirstLine = first;
    CacheLogicalCount = before.count;
    CacheContinues = before.continues;

    int count = before.count;
    bool continues = before.continues;
    int line = first;
    for (const DisplayLine& row : range.lines) {
        if (row.top >= visibleBottom) break;
        if (!continues) ++count;
        LineNumberCache[line++] = count;
        continues = row.continues;
    }
    NumberedEnd = line;
    RefreshPrint = print;
    RefreshGeneration = TextGeneration();
    CacheLineCount = lineCount;
    if (!WidenForDigits(count)) return {true, lineCount, first, &range};
    // The editor is narrower now, and its lines may wrap anew.
    GutterDirty = true;
    return {false, lineCount, first, nullptr};
}

void RefreshLineNumberCache(HWND edit, int visibleBottom) { RefreshLineNumbers(edit, visibleBottom); }

static bool NumbersCurrent(const LayoutPrint& print, int lineCount) {
    return !GutterDirty && RefreshGeneration == TextGeneration() && lineCount == CacheLineCount &&
           SameLayout(print, RefreshPrint);
}

bool RefreshStaleLineNumbers(HWND edit) {
    if (InSizeMove || !GutterWindow) return false;
    int lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    if (NumbersCurrent(ReadLayoutPrint(edit), lineCount)) return false;
    RECT gutter;
    GetClientRect(GutterWindow, &gutter);
    RefreshLineNumbers(edit, gutter.bottom);
    return true;
}

bool IsLineNumberFresh(int line) { return line >= CacheFirstLine && line < NumberedEnd; }

int LogicalNumberOf(HWND edit, const LayoutPrint& print, LineOfPosition at, int lineCount) {
    if (!print.wrap) return at.line + 1;  // every display line begins a logical line
    if (NumbersCurrent(print, lineCount) && IsLineNumberFresh(at.line)) return LineNumberCache[at.line];
    if (at.line == lineCount - 1) return CountLogicalLines(edit, print, lineCount);
    LogicalCount before = CountLogicalLinesBefore(edit, print, at.line, at.start, lineCount);
    return before.count + (before.continues ? 0 : 1);
}

// Sets DigitThreshold to the power of ten the new width is made for, so
// that a narrowed gutter widens again as soon as a larger number shows.
// The text or the layout may have changed unseen (a loaded document, a new
// zoom), so the next refresh counts everything again.
int ComputeGutterWidth(HWND window, HWND edit) {
    int lineCount = edit ? static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0)) : 0;
    int count = lineCount > 0 ? CountLogicalLines(edit, ReadLayoutPrint(edit), lineCount) : 0;
    return SetGutterWidthForLines(window, count);
}

int SetGutterWidthForLines(HWND window, int logicalLines) {
    int widest = std::max(logicalLines, 10);
    GutterWidth = GutterWidthForText(MeasureGutterText(window, std::to_wstring(widest).c_str()));
    DigitThreshold = 10;
    while (DigitThreshold <= widest) DigitThreshold *= 10;
    ForgetDisplayLines();
    GutterDirty = true;
    return GutterWidth;
}
