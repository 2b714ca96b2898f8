// The rich edit control's answers about its display lines, one message each.
#pragma once

#include <windows.h>

LONG LineStart(HWND edit, int line);                   // EM_LINEINDEX
int LineOf(HWND edit, LONG position);                  // EM_EXLINEFROMCHAR
LONG TopOf(HWND edit, LONG position);                  // EM_POSFROMCHAR's y
