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

RefreshedLines RefreshLineNumbers(HWND edit, int visibleBottom) {
    int lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    int first = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    LayoutPrint print = ReadLayoutPrint(edit);
    if (!GutterDirty && lineCount == CacheLineCount && first == CacheFirstLine &&
        SameLayout(print, RefreshPrint)) {
        return {true, lineCount, first, nullptr};
    }
    LineNumberCache.resize(static_cast<size_t>(lineCount) + 32);
    if (GutterDirty) {
        ForgetDisplayLines();
        GutterDirty = false;
    }
    const DisplayLineRange& range = ReadDisplayLines(edit, print, first, lineCount, visibleBottom);
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
    CacheLineCount = lineCount;
    if (!WidenForDigits(count)) return {true, lineCount, first, &range};
    // The editor is narrower now, and its lines may wrap anew.
    GutterDirty = true;
    return {false, lineCount, first, nullptr};
}

void RefreshLineNumberCache(HWND edit, int visibleBottom) { RefreshLineNumbers(edit, visibleBottom); }

bool IsLineNumberFresh(int line) { return line >= CacheFirstLine && line < NumberedEnd; }

int CountLogicalNumber(HWND edit, int line, LONG lineStart, int lineCount) {
    LogicalCount before = CountLogicalLinesBefore(edit, ReadLayoutPrint(edit), line, lineStart, lineCount);
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
