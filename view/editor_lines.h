// The rich edit control's answers about its display lines, one message each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

LONG LineStart(HWND edit, int line);                   // EM_LINEINDEX
LONG LineLength(HWND edit, LONG position);             // EM_LINELENGTH
int LineOf(HWND edit, LONG position);                  // EM_EXLINEFROMCHAR
LONG TopOf(HWND edit, LONG position);                  // EM_POSFROMCHAR's y
LONG CharacterCount(HWND edit);                        // EM_GETTEXTLENGTHEX, a line break counting one
std::wstring ReadText(HWND edit, LONG from, LONG to);  // EM_GETTEXTRANGE
// EM_GETTEXTRANGE into `buffer`, grown as needed; the characters read.
LONG ReadTextInto(HWND edit, LONG from, LONG to, std::vector<wchar_t>& buffer);
// The paragraph marks of the whole text, without a walk; -1 when the
// control does not say.
LONG CountParagraphMarks(HWND edit, LONG textLength);

// Whether display line `line`, starting at `start` (-1: not known yet),
// runs on into the next, which starts at `next` after the character `last`.
bool LineRunsOn(HWND edit, int line, LONG start, LONG next, wchar_t last);
