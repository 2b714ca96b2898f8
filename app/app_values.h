// Process-wide windows of the frame, and the program's messages to its main
// window; any folder may read them.
#pragma once

#include <windows.h>

// Touched on the GUI thread only.
extern HWND MainWindow;         // stored once creation has returned
extern HINSTANCE AppInstance;   // stored with MainWindow
extern HWND EditControl;        // the document's rich edit control, id 1300
extern HWND HiddenEditControl;  // hidden rich edit control used by printing
extern HWND GutterWindow;       // line-number gutter left of EditControl
extern HWND StatusBar;          // five-part status bar along the bottom
extern float DpiScale;          // DPI of MainWindow / 96

extern const wchar_t MainWindowClassName[];     // "TaviloClass"
constexpr DWORD EditorEventMask = 0x000B0001;   // change, keys, mouse, selection
constexpr LPARAM EditorTextLimit = 0x00A00000;  // 10,485,760 characters

// Posted to the main window, whose procedure hands each back to its sender's folder.
constexpr UINT WM_DESTROYRETIREDEDITORS = WM_APP + 1;  // by PostRetiredEditorsDestruction
constexpr UINT WM_UPDATESTATUSBAR = WM_APP + 2;        // by ScheduleStatusBarUpdate
constexpr UINT WM_SYNCMODIFIED = WM_APP + 3;           // by ScheduleModifiedSync
// Sent by the document, and handed to the view. EditControl is another
// editor, or is about to take another text: the window is laid out for it,
// lParam being null or the TextShape of that text.
constexpr UINT WM_LAYOUTFORTEXT = WM_APP + 4;
// The encoding, the length or the editor shown changed: the status bar follows.
constexpr UINT WM_DOCUMENTSTATECHANGED = WM_APP + 5;
