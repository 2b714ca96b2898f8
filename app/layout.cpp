// Tiling of the main window's children (gutter, editor, status bar) and
// the reaction to a change of monitor DPI.
#include "app/app.h"

#include <richedit.h>

#include <cstdlib>

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

// The status bar follows the system's menu font, scaled to the new DPI.
static void SetStatusBarFontForDpi(int dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTW font = metrics.lfMenuFont;
    font.lfHeight = -MulDiv(abs(font.lfHeight), dpi, 96);
    HFONT statusFont = CreateFontIndirectW(&font);
    HFONT previous = reinterpret_cast<HFONT>(SendMessageW(StatusBar, WM_GETFONT, 0, 0));
    SendMessageW(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont), TRUE);
    // Only fonts made here are ours to delete; the first one is the system's.
    static HFONT ownFont = nullptr;
    if (ownFont && ownFont == previous) DeleteObject(ownFont);
    ownFont = statusFont;
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

    SetStatusBarFontForDpi(dpi);
    ComputeGutterWidth(window, EditControl);
    LayoutMainWindow(window);

    SendMessageW(EditControl, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(EditControl, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
