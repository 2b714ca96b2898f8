// Search and navigation: the engine that works on the edit control, and
// the Find, Replace and Go To Line dialogs.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>

// engine.cpp
bool GetSearchSeed(HWND edit, wchar_t* buffer);  // buffer of at least 256 characters
void TrimSeed(wchar_t* text);                    // drops blanks and line ends at both ends
WPARAM FindFlags(bool matchCase, bool wholeWord, bool forward);
void FindNext(HWND dialog, const wchar_t* text);
void FindPrevious(HWND dialog, const wchar_t* text);
// Whether the control, matching without regard to case as Find does,
// finds `text` exactly over the range.
bool MatchesWithoutCase(HWND edit, const wchar_t* text, CHARRANGE range);
void ReplaceSelection(HWND dialog, const wchar_t* text, const wchar_t* replacement);
void GoToLine(int line);
// At most `length` characters of the text (EM_GETTEXTEX with `flags`, UTF-16).
std::wstring ReadTextEx(HWND edit, LONG length, DWORD flags);

// replace_all.cpp: the span from the first match to the end of the last
// is replaced in edits of at most maxBreaksPerEdit line ends, each one
// Undo step; a span too long for maxEdits such pieces is cut into maxEdits
// larger ones. A span of more than freshEditorAbove line ends, which the
// control would take minutes to edit in place, puts the whole new text into
// a fresh editor instead (as fast as opening it) and keeps the old editor
// for Undo (ShowFreshEditorKeepingOld).
constexpr int MaxBreaksPerEdit = 2000;
constexpr int MaxEditsPerReplaceAll = 50;  // half the editor's 100 Undo steps
struct ReplaceAllLimits {
    int maxBreaksPerEdit = MaxBreaksPerEdit;
    int maxEdits = MaxEditsPerReplaceAll;
    int freshEditorAbove = MaxBreaksPerEdit;
};
void ReplaceAllWithin(const wchar_t* text, const wchar_t* replacement, const ReplaceAllLimits& limits);
void ReplaceAll(const wchar_t* text, const wchar_t* replacement);  // with the limits above

// dialog_common.cpp: what the three dialogs share.
POINT ComputeDialogPosition(const RECT& editorOnScreen);
void PlaceBesideEditor(HWND dialog);
std::wstring ReadSearchBox(HWND dialog, int id);  // at most 255 characters

// find_dialog.cpp, replace_dialog.cpp, goto_dialog.cpp: commands 115, 116 and 117.
void FindCommand();
void ReplaceCommand();
int ParseLineNumber(const wchar_t* text);  // 1..2147483647, or 0 when the text is no line number
void GoToCommand();
