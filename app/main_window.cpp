// The main window's procedure: closing, the end of the session, sizing and
// DPI changes, the editor's notifications, and the program's own messages
// handed to the folder that sent them or, from the document, to the view.
#include "app/app.h"

#include <richedit.h>

#include "document/document.h"
#include "view/view.h"

void ExitProgram() {
    if (!RequestExit()) return;
    SaveSettings();
    DestroyWindow(MainWindow);
    PostQuitMessage(0);
}

static LRESULT OnSize(HWND window) {
    LayoutMainWindow(window);
    return 0;
}

static LRESULT OnDpiChanged(HWND window, WPARAM wParam) {
    int dpi = HIWORD(wParam);
    DpiScale = dpi / 96.0f;
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);

    HFONT previous = GutterFont;
    GutterFont = CreateGutterFont(window);
    MeasureLineHeight(window);
    if (previous) DeleteObject(previous);
    RebuildEditorFont();  // the editor's text keeps its size in points on the new monitor

    SetStatusBarFont(dpi);
    ComputeGutterWidth(window, EditControl);
    LayoutMainWindow(window);

    ResumeEditorDrawing(EditControl);
    UpdateWindow(EditControl);
    return 0;
}

// A WM_CLOSE from outside (another program, a task manager) must not drop
// unsaved text, so it takes the same road as the close box.
static LRESULT OnClose() {
    ExitProgram();
    return 0;
}

// The settings are kept as at exit; the system ends the process afterwards.
static LRESULT OnEndSession(bool ending) {
    EndSession(ending);
    if (ending) SaveSettings();
    return 0;
}

// Activation puts the focus on the frame itself (after a dialog or a
// message box closes, or on switching back from another program); the
// keys belong in the document.
static LRESULT OnSetFocus() {
    if (EditControl) SetFocus(EditControl);
    return 0;
}

static LRESULT OnNotify(LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == EditControl && header->code == EN_SELCHANGE) ScheduleStatusBarUpdate();
    return 0;
}

static LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        ExitProgram();
        return 0;
    }
    return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
}

static LRESULT HandleMainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreateMainWindow(window);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_SIZE: return OnSize(window);
    case WM_ERASEBKGND: return OnMainWindowEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: return OnMainWindowPaint(window);
    case WM_CLOSE: return OnClose();
    case WM_QUERYENDSESSION: return AnswerEndSessionQuery() ? TRUE : FALSE;
    case WM_ENDSESSION: return OnEndSession(wParam != FALSE);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_NOTIFY: return OnNotify(lParam);
    case WM_COMMAND: DispatchCommand(window, wParam, lParam); return 0;
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_SYNCMODIFIED: SyncModifiedState(); return 0;
    case WM_DPICHANGED: return OnDpiChanged(window, wParam);
    case WM_DESTROYRETIREDEDITORS: DestroyRetiredEditors(); return 0;
    case WM_UPDATESTATUSBAR: OnScheduledStatusBarUpdate(); return 0;
    case WM_LAYOUTFORTEXT: LayOutForText(window, reinterpret_cast<const TextShape*>(lParam)); return 0;
    case WM_DOCUMENTSTATECHANGED: UpdateStatusBar(); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandleMainWindowMessage(window, message, wParam, lParam);
    } catch (...) {
        return AnswerFailedMessage(window, message);
    }
}
