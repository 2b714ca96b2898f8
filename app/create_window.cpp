// WM_CREATE of the main window: the gutter, the two rich edit controls,
// the editor's subclass and OLE callback, the status bar and the menu bar;
// and a fresh editor in place of the old one when a large text is replaced.
#include "app/app.h"

#include <commctrl.h>
#include <richedit.h>
#include <richole.h>
#include <shellapi.h>

#include <vector>

#include "document/document.h"
#include "resources/resource.h"
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

// Editors put aside by SwapInFreshEditor, hidden, waiting to be destroyed.
static std::vector<HWND> RetiredEditors;
static bool RetiredEditorsPosted = false;

// The document's editors (and the wrap model) hold plain text: one format for
// all of it, text taken as text (never read as RTF), and undo of many
// steps. The mode can be set only while the control is empty, so it is
// set here, at once.
HWND CreatePlainTextEditor(DWORD style, RECT place, HWND parent, HMENU id) {
    LoadLibraryW(L"Msftedit.dll");  // stays loaded for the life of the process
    HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"", style, place.left, place.top, place.right - place.left,
                                place.bottom - place.top, parent, id, GetModuleHandleW(nullptr), nullptr);
    if (edit) SendMessageW(edit, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
    return edit;
}

HWND CreateEditorControl(HWND window) {
    // A fresh editor starts where the old one stands: sized later, Wine's
    // control would set up its fonts and layout a second time.
    RECT place = {};
    if (EditControl && GetWindowRect(EditControl, &place))
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    HWND edit = CreatePlainTextEditor(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                      place, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR)));
    if (!edit) return nullptr;
    SubclassEditor(edit);
    // The control takes a reference of its own and drops it when destroyed.
    IRichEditOleCallback* callback = CreateOleCallback();
    SendMessageW(edit, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(callback));
    callback->Release();
    DragAcceptFiles(edit, TRUE);
    SendMessageW(edit, EM_EXLIMITTEXT, 0, EditorTextLimit);
    SendMessageW(edit, EM_SETTARGETDEVICE, 0, Autowrap ? 0 : 1);
    if (EditorFont) SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(EditorFont), FALSE);
    SendMessageW(edit, EM_SETBKGNDCOLOR, 0, ThemeTable[ColorIndex].editorBackground);
    ApplyThemeTextColour(edit);
    if (ZoomPercent != 100) SendMessageW(edit, EM_SETZOOM, ZoomPercent, 100);
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, EditorEventMask);
    return edit;
}

static void CreateEditControls(HWND window) {
    RetiredEditors.clear();
    EditControl = CreateEditorControl(window);
    SetFocus(EditControl);

    // Not a child: printing lays pages out in it, and it lives until the
    // process ends. It takes the editor's text as RTF, with the editor's
    // font, and its colours made black on white: rich text by design, so
    // it is the one control not in plain-text mode.
    HiddenEditControl = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                                        0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(HiddenEditControl, SW_HIDE);
}

// The old editor is hidden last: hiding it while it has the focus hands
// the focus to the main window, whose WM_SETFOCUS would pass it on to
// whatever EditControl is, and every move of the focus ends an input
// method's composition and shows a screen reader a new element.
HWND PutEditorInPlace(HWND edit) {
    HWND old = EditControl;
    bool focused = GetFocus() == old;
    SendMessageW(old, EM_SETEVENTMASK, 0, 0);
    DragAcceptFiles(old, FALSE);
    EditControl = edit;
    LayoutMainWindow(GetParent(edit));
    SendMessageW(edit, EM_SETEVENTMASK, 0, EditorEventMask);
    DragAcceptFiles(edit, TRUE);
    ShowWindow(edit, SW_SHOW);
    if (focused) SetFocus(edit);
    ShowWindow(old, SW_HIDE);
    return old;
}

void RetireEditor(HWND edit) {
    ShowWindow(edit, SW_HIDE);
    RetiredEditors.push_back(edit);
    PostRetiredEditorsDestruction();
}

// Wine's control deletes a large text in time that grows much faster than
// the text (1 MB: 15 to 30 s) but is destroyed with it in milliseconds.
// The swap is made whatever the control, deliberately: where deleting is
// quick it costs one window's creation, and one way of replacing a large
// text keeps one behaviour to test.
void SwapInFreshEditor() {
    HWND fresh = CreateEditorControl(GetParent(EditControl));
    if (!fresh) return;  // the old editor stays and takes the new text itself
    RetireEditor(PutEditorInPlace(fresh));
}

// Turning drawing back on does not draw the frame again, so scroll bars
// that came, went or moved meanwhile would stay as the screen last showed
// them (or missing) until something scrolls; Windows documents this
// RedrawWindow as the way to follow WM_SETREDRAW TRUE.
void ResumeEditorDrawing(HWND edit) {
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(edit, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void PostRetiredEditorsDestruction() {
    if (RetiredEditors.empty() || RetiredEditorsPosted || !MainWindow) return;
    RetiredEditorsPosted = PostMessageW(MainWindow, WM_DESTROYRETIREDEDITORS, 0, 0);
}

// A message box shown by a dropped file's load runs a message loop inside
// the old editor's own procedure; the editors wait until the subclass
// procedure has returned to its outermost call, which posts this again.
void DestroyRetiredEditors() {
    RetiredEditorsPosted = false;
    if (EditorProcedureDepth > 0) return;
    std::vector<HWND> retired;
    retired.swap(RetiredEditors);
    for (HWND old : retired) {
        if (IsWindow(old) && old != EditControl) DestroyWindow(old);
    }
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
