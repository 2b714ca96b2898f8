// The text at the end of the editor's document, known without reading it
// again: the text of the end as it was read or loaded, and the characters
// typed at the end since. Reading the text near the end costs a walk of
// the document under Wine.
#pragma once

#include <windows.h>

#include <string>

// Takes `text` as the text of `edit` from `from` to its end, unless more of
// the end is known already, and watches the editor from then on.
// `showsEveryBreak`: every line break of the whole text is known to read as
// one (below).
void KnowTheEnd(HWND edit, LONG from, const std::wstring& text, bool showsEveryBreak);

// True while every line break in `edit` is known to read as one: its whole
// text was given to it (a load) and the watch has seen nothing since but
// characters typed at the end. Wine's soft line break (Shift+Enter, or
// pasted rich text) reads as a space.
bool ShowsEveryLineBreak(HWND edit);

// The text of `edit` from `from` to its end, now `length` long, when all of
// it is known; false when it is not, or anything may have changed it unseen.
bool TextOfTheEnd(HWND edit, LONG from, LONG length, std::wstring* text);

// The watch holding over `edit` now: a number that a new watch changes,
// 0 when none holds. The same number later says that nothing but
// characters typed at the end changed the text in between.
unsigned EndWatchSerial(HWND edit);

// Called by the editor's subclass for each message before the control
// sees it: any message that may change the text unseen ends the watch.
void NoteEditorMessage(HWND edit, UINT message);

// The editor's WM_CHAR, handed on to the control; a character typed at the
// end of the text is added to the watch.
LRESULT TypeIntoEditor(HWND edit, WPARAM code, LPARAM lParam);

// The editor's text changed (its EN_CHANGE, an undo or redo): unless a
// character the watch follows explains it, the watch ends.
void NoteTextChanged();
