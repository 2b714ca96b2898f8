// Tiling of the main window's children (gutter, editor, status bar) and
// the reaction to a change of monitor DPI.
#include "app/app.h"

#include <richedit.h>

#include "view/view.h"

// The editor's text starts this far inside its client area, at any DPI.
constexpr int TextInset = 3;

void LayoutMainWindow(HWND window) {
    RECT client, status;
    GetClientRect(window, &client);
    GetWindowRect(StatusBar, &status);
    int width = client.right, height = client.bottom;
    int statusHeight = status.bottom - status.top;
    int bandHeight = height - statusHeight;

    HDWP batch = BeginDeferWindowPos(3);
    batch = DeferWindowPos(batch, StatusBar, nullptr, 0, bandHeight, width, statusHeight, SWP_NOZORDER);
    batch = DeferWindowPos(batch, GutterWindow, nullptr, 0, 0, GutterWidth, bandHeight, SWP_NOZORDER);
    batch = DeferWindowPos(batch, EditControl, nullptr, GutterWidth, 0, width - GutterWidth, bandHeight,
                           SWP_NOZORDER);
    EndDeferWindowPos(batch);
    SendMessageW(StatusBar, WM_SIZE, 0, 0);
    // The parts are laid out for the new width, and with word wrap on the
    // caret's column may have moved with the lines.
    UpdateStatusBar();

    RECT format, current;
    GetClientRect(EditControl, &format);
    format.left += TextInset;
    format.top += TextInset;
    // Wine's control lays the whole text out again on every EM_SETRECTNP,
    // even to the rectangle it already has: seconds on a large document.
    SendMessageW(EditControl, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&current));
    if (!EqualRect(&format, &current))
        SendMessageW(EditControl, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
    if (Autowrap) ShowScrollBar(EditControl, SB_HORZ, FALSE);
}

void OnDpiChanged(HWND window, WPARAM wParam) {
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
}
