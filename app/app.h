// The application frame: start-up, the main window, command dispatch,
// layout and DPI changes.
#pragma once

#include <windows.h>

// Process-wide windows and frame state (touched on the GUI thread only).
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

// startup.cpp: everything wWinMain does before and after its message loop.
// StartApplication runs the start-up up to the loop, opening the file that
// the command line (GetCommandLineW's, for wWinMain) names, and returns the
// accelerator table, or null when the main window could not be created.
HACCEL StartApplication(HINSTANCE instance, int showCommand, const wchar_t* commandLine);
int RunMessageLoop(HACCEL accelerators);
// After the main window is gone: the printing control goes, OLE ends.
void EndApplication();

// placement.cpp: where the main window opens on a W x H screen.
struct WindowPlacement {
    int x, y, width, height;
};
WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight);

// main_window.cpp: the main window's procedure.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// failed_message.cpp: what a window or dialog procedure answers, from the
// catch at its edge, for a message whose handling threw.
LRESULT AnswerFailedMessage(HWND window, UINT message);

// create_window.cpp: WM_CREATE, building the children of the main window.
LRESULT OnCreateMainWindow(HWND window);
// A rich edit control in plain-text mode with multi-level undo: every
// editor of the document is made by this.
HWND CreatePlainTextEditor(DWORD style, RECT place, HWND parent, HMENU id);
// The document's rich edit control with all of its setup: style, id,
// subclass, OLE callback, drops, text limit, event mask, and the view's
// current font, colours, word wrap and zoom. Null when creation fails.
HWND CreateEditorControl(HWND window);
// Puts `edit` in EditControl's place: shown, laid out, notifying, taking
// drops, and focused if the old one had the focus. The old one is hidden,
// hears nothing and takes no drops; it is returned to the caller.
HWND PutEditorInPlace(HWND edit);
// Hides an editor that is no longer wanted; it is destroyed from a posted
// WM_DESTROYRETIREDEDITORS once no editor procedure is running.
void RetireEditor(HWND edit);
// A fresh, empty editor takes EditControl's place and the old one, with
// its large text, is retired (on every platform; see the definition).
void SwapInFreshEditor();
// WM_SETREDRAW TRUE, and the whole editor drawn again, its frame too: the
// scroll bars it showed, hid or moved while drawing was off.
void ResumeEditorDrawing(HWND edit);
void PostRetiredEditorsDestruction();  // when editors wait and none is posted
void DestroyRetiredEditors();          // WM_DESTROYRETIREDEDITORS of the main window
constexpr UINT WM_DESTROYRETIREDEDITORS = WM_APP + 1;
constexpr UINT WM_UPDATESTATUSBAR = WM_APP + 2;  // posted by ScheduleStatusBarUpdate
constexpr UINT WM_SYNCMODIFIED = WM_APP + 3;     // posted by ScheduleModifiedSync

// editor_history.cpp: Undo and Redo across editors. A Replace All over
// many lines puts its result into a fresh editor (see ReplaceAll); the
// editor with the text before it is kept hidden, its Undo history intact.
// Undo with nothing left to undo in the shown editor brings the one before
// back; Redo with nothing of its own to redo takes the later one again.
// Typing in an editor brought back drops the later ones, as any edit
// drops what could be redone.
void ShowFreshEditorKeepingOld(HWND fresh);
LRESULT UndoInEditor(HWND edit);     // EM_UNDO, WM_UNDO and Ctrl+Z, from the subclass
LRESULT RedoInEditor(HWND edit);     // EM_REDO and Ctrl+Y
LRESULT CanUndoInEditor(HWND edit);  // EM_CANUNDO
LRESULT CanRedoInEditor(HWND edit);  // EM_CANREDO
void NoteEditorEdited();             // each EN_CHANGE
void MarkKeptEditorsModified();      // their text is no longer the saved one
void ForgetEditorHistory();          // the Undo history is emptied: kept editors go

// menu_bar.cpp: the whole menu bar, and finding its submenus by position.
HMENU BuildMenuBar();
HMENU GetOptionsSubmenu(int position);  // Font, Size, Zoom or Theme; null when absent

// commands.cpp: WM_COMMAND of the main window.
void DispatchCommand(HWND window, WPARAM wParam, LPARAM lParam);

// layout.cpp: tiling of the children, and WM_DPICHANGED.
void LayoutMainWindow(HWND window);
void OnDpiChanged(HWND window, WPARAM wParam);
