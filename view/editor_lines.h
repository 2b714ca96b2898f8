// The rich edit control's answers about its display lines, one message each.
#pragma once

#include <windows.h>

#include <string>

LONG LineStart(HWND edit, int line);                   // EM_LINEINDEX
LONG LineLength(HWND edit, LONG position);             // EM_LINELENGTH
int LineOf(HWND edit, LONG position);                  // EM_EXLINEFROMCHAR
LONG TopOf(HWND edit, LONG position);                  // EM_POSFROMCHAR's y
std::wstring ReadText(HWND edit, LONG from, LONG to);  // EM_GETTEXTRANGE
// The paragraph marks of the whole text, without a walk; -1 when the
// control does not say.
LONG CountParagraphMarks(HWND edit, LONG textLength);

// Whether display line `line`, starting at `start` (-1: not known yet),
// runs on into the next, which starts at `next` after the character `last`.
bool LineRunsOn(HWND edit, int line, LONG start, LONG next, wchar_t last);
