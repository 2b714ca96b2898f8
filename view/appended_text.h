// What the editor's text became since the display lines were last read,
// when nothing but characters typed at its end changed it. Reading the text
// near the end costs a walk of the document under Wine; knowing that the
// text before the old end is untouched spares the gutter that read.
#pragma once

#include <windows.h>

#include <string>

// Starts watching `edit`, whose text is now `length` characters long; the
// number returned names this watch for AppendedSince.
unsigned WatchForAppends(HWND edit, LONG length);

// The characters typed at the end of `edit` since the watch `watch`
// started, when they are all that changed and the text is now `length`
// long; nullptr when anything else may have happened.
const std::wstring* AppendedSince(HWND edit, unsigned watch, LONG length);

// Called by the editor's subclass for each message before the control
// sees it: any message that may change the text unseen ends the watch.
void NoteEditorMessage(HWND edit, UINT message);

// The editor's WM_CHAR, handed on to the control; a character typed at the
// end of the text is added to the watch.
LRESULT TypeIntoEditor(HWND edit, WPARAM code, LPARAM lParam);

// The editor's text changed (its EN_CHANGE, an undo or redo): unless a
// character the watch follows explains it, the watch ends.
void NoteTextChanged();
