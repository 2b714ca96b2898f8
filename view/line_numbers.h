// Line numbering shared by the gutter's painting and the status bar,
// beyond what view.h offers.
#pragma once

#include <windows.h>

#include "view/display_lines.h"

// What a refresh leaves behind for its caller. `current` says that the
// line count and first visible line are the editor's present ones (no
// re-layout happened); `lines`, when set, are the lines down to the bottom
// asked for, read by this refresh.
struct RefreshedLines {
    bool current;
    int lineCount, first;
    const DisplayLineRange* lines;
};
RefreshedLines RefreshLineNumbers(HWND edit, int visibleBottom);

// Refreshes the numbers for the gutter's whole height, as its next paint
// would, when the text or the layout changed since the last refresh (not
// while the frame is dragged). True when it refreshed.
bool RefreshStaleLineNumbers(HWND edit);

// Whether the last refresh numbered `line` (so the cache entry holds its
// number for the text as the refresh saw it).
bool IsLineNumberFresh(int line);

// The logical number of display line `at`: the last refresh's while the
// text and the layout it numbered under still hold, else counted.
int LogicalNumberOf(HWND edit, const LayoutPrint& print, LineOfPosition at, int lineCount);
