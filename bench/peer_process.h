// Driving another program from outside, as a user would: start it, find
// its main window, editor and dialogs, press keys, read what it shows, and
// wait until it is idle again.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct Peer {
    PROCESS_INFORMATION process = {};
    HWND top = nullptr;     // main window
    HWND editor = nullptr;  // its text control
};

// CreateProcess with this command line, then WaitForInputIdle.
bool StartPeer(const std::wstring& commandLine, Peer& peer);
// Ends the process (a benchmark keeps nothing it typed) and closes its handles.
void EndPeer(Peer& peer);

HWND FindMainWindow(DWORD processId);                              // visible top-level window without owner
HWND FindEditor(HWND top);                                         // a rich edit child, else an EDIT child
HWND FindDialog(DWORD processId, HWND top);                        // a visible dialog window of the process
HWND FindChild(HWND parent, const wchar_t* className, int index);  // index-th child of the class
HWND FindButton(HWND dialog, const wchar_t* text);                 // by its text, without '&'

// The window answered a sent message and neither it nor any child has
// anything left to paint.
bool IsIdle(HWND top);
// Polls until `done` holds and then the window is idle; false when
// `deadline` (NowMs) passes first.
bool WaitUntil(HWND top, const std::function<bool()>& done, double deadline);

std::wstring WindowTitle(HWND window);
long TextLength(HWND editor);     // WM_GETTEXTLENGTH; -1 when the window does not answer
long CaretPosition(HWND editor);  // end of the selection; -1 when it does not answer
void SetControlText(HWND control, const std::wstring& text);

// Makes the window the foreground one, so that keys go to its focus.
bool BringToFront(HWND top);
// Peak resident memory of the process in bytes. Under Wine this is VmHWM
// of the process's /proc/<pid>/status, which wineserver reads for it.
SIZE_T PeakMemory(HANDLE process);
