// Counting the display lines that begin a logical line (a paragraph).
#pragma once

#include <windows.h>

#include "view/display_lines.h"

// How many characters the counts read at once.
extern LONG ScanPieceLength;

// Display lines before `line` (which starts at `lineStart`) that begin a
// logical line, and whether line - 1 runs on into `line`.
struct LogicalCount {
    int count;
    bool continues;
};
LogicalCount CountLogicalLinesBefore(HWND edit, const LayoutPrint& print, int line, LONG lineStart,
                                     int lineCount);
// Display lines of the whole document that begin a logical line.
int CountLogicalLines(HWND edit, const LayoutPrint& print, int lineCount);
