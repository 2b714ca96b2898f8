// The rich edit control's answers about its display lines, one message each.
#pragma once

#include <windows.h>

#include <string>

LONG LineStart(HWND edit, int line);                   // EM_LINEINDEX
int LineOf(HWND edit, LONG position);                  // EM_EXLINEFROMCHAR
LONG TopOf(HWND edit, LONG position);                  // EM_POSFROMCHAR's y
LONG CharacterCount(HWND edit);                        // EM_GETTEXTLENGTHEX, a line break counting one
std::wstring ReadText(HWND edit, LONG from, LONG to);  // EM_GETTEXTRANGE
