// WM_CREATE of the main window: the gutter, the two rich edit controls,
// the editor's subclass and OLE callback, the status bar and the menu bar.
#include "app/app.h"

#include <commctrl.h>
#include <richedit.h>
#include <richole.h>
#include <shellapi.h>

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
    LoadLibraryW(L"Msftedit.dll");  // stays loaded for the life of the process
    EditControl = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                  0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1300)),
                                  GetModuleHandleW(nullptr), nullptr);
    SetFocus(EditControl);
    SetWindowSubclass(EditControl, EditSubclassProc, 1, 0);

    // Not a child: printing lays pages out in it, and it lives until the
    // process ends.
    HiddenEditControl = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                                        0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(HiddenEditControl, SW_HIDE);

    // The control takes its own reference to the callback.
    SendMessageW(EditControl, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(CreateOleCallback()));
    DragAcceptFiles(EditControl, TRUE);
    SendMessageW(EditControl, EM_EXLIMITTEXT, 0, EditorTextLimit);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, EditorEventMask);
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
    UpdateStatusBar();

    SetMenu(window, BuildMenuBar());
    return 0;
}
