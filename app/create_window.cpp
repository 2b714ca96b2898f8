// WM_CREATE of the main window: the gutter, the two rich edit controls,
// the status bar and the menu bar.
#include "app/app.h"

#include <commctrl.h>
#include <richedit.h>

#include "document/document.h"
#include "view/view.h"

HWND EditControl = nullptr;
HWND HiddenEditControl = nullptr;
HWND GutterWindow = nullptr;
HWND StatusBar = nullptr;

static void CreateGutterWindow(HWND window) {
    WNDCLASSW gutterClass = {};
    gutterClass.lpfnWndProc = GutterWindowProc;
    gutterClass.hInstance = GetModuleHandleW(nullptr);
    gutterClass.lpszClassName = GutterClassName;
    RegisterClassW(&gutterClass);
    GutterWindow = CreateWindowExW(0, GutterClassName, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                   GutterWidth, 0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
}

static void CreateEditControls(HWND window) {
    EditControl = CreateFirstEditor(window);
    SetFocus(EditControl);

    // Not a child: printing lays pages out in it, and it lives until the
    // process ends. It takes the editor's text as RTF, with the editor's
    // font, and its colours made black on white: rich text by design, so
    // it is the one control not in plain-text mode.
    HiddenEditControl = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                                        0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(HiddenEditControl, SW_HIDE);
}

LRESULT OnCreateMainWindow(HWND window) {
    DpiScale = GetDpiForWindow(window) / 96.0f;
    GutterFont = CreateGutterFont(window);
    MeasureLineHeight(window);
    ComputeGutterWidth(window, EditControl);  // no editor yet: the width of "10"

    CreateGutterWindow(window);
    CreateEditControls(window);

    StatusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                                0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetStatusBarFont(GetDpiForWindow(window));
    UpdateStatusBar();

    SetMenu(window, BuildMenuBar());
    return 0;
}
