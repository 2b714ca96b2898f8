// Search and navigation: the engine that works on the edit control, and
// the Find, Replace and Go To Line dialogs.
#pragma once

#include <windows.h>

// engine.cpp
bool GetSearchSeed(HWND edit, wchar_t* buffer);  // buffer of at least 256 characters
void FindNext(HWND dialog, const wchar_t* text);
void FindPrevious(HWND dialog, const wchar_t* text);
void ReplaceSelection(HWND dialog, const wchar_t* text, const wchar_t* replacement);
void ReplaceAll(const wchar_t* text, const wchar_t* replacement);
void GoToLine(int line);

// dialogs.cpp: commands 115, 116 and 117.
void FindCommand();
void ReplaceCommand();
void GoToCommand();
