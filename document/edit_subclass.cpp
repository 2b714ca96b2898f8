// The editor's subclass: keeps the gutter in step with the text.
#include "document/document.h"

#include <commctrl.h>

#include "app/app.h"

// Minimal: repaints the gutter and passes everything on; dropped files and
// the wheel come with the full subclass.
LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    switch (message) {
    case WM_SIZE:
    case WM_SETTEXT:
    case WM_PAINT:
    case WM_SETFONT:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: InvalidateRect(GutterWindow, nullptr, FALSE); break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
