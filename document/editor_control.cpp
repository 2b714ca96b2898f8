// The document's editors: the rich edit control in plain-text mode, the
// editor with all of its setup (the view's font, colours, word wrap and
// zoom among it), an editor put in EditControl's place, and those put
// aside destroyed once no editor procedure runs.
#include "document/document.h"

#include <richedit.h>
#include <richole.h>
#include <shellapi.h>

#include <vector>

#include "app/app_values.h"
#include "resources/resource.h"
#include "view/view_values.h"

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
    SetEditorTextColour(edit, ThemeTable[ColorIndex].text);
    if (ZoomPercent != 100) SendMessageW(edit, EM_SETZOOM, ZoomPercent, 100);
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, EditorEventMask);
    return edit;
}

// Paints the whole text in the colour; nothing else changes. The control's
// default format takes the colour too: a text that replaces the whole
// content (a file opened later) is drawn in the default format, and would
// otherwise come up black on a dark theme.
void SetEditorTextColour(HWND edit, COLORREF colour) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

// Editors retired in an earlier main window went with it.
HWND CreateFirstEditor(HWND window) {
    RetiredEditors.clear();
    return CreateEditorControl(window);
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
    SendMessageW(GetParent(edit), WM_LAYOUTFORTEXT, 0, 0);
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
