// The editor's subclass: keeps the gutter in step with the text and the
// paragraph index with the edits, takes over the mouse wheel (Ctrl zooms),
// never erases, opens dropped files, pastes plain text and keeps the text
// plain (no soft line breaks, no formatting keys).
#include "document/document.h"

#include <richedit.h>
#include <shellapi.h>

#include <string>

#include "app/app_values.h"
#include "resources/resource.h"
#include "view/view_values.h"

static void InvalidateGutter() { InvalidateRect(GutterWindow, nullptr, FALSE); }

// Lines one notch scrolls. A system set to scroll a page per notch gets
// the number of display lines that fit in the editor.
static int LinesPerNotch(HWND edit) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines != WHEEL_PAGESCROLL) return static_cast<int>(lines);
    RECT client;
    GetClientRect(edit, &client);
    int height = LineHeight > 0 ? LineHeight : 16;
    return client.bottom / height > 0 ? client.bottom / height : 1;
}

// The travel is kept as delta x steps per notch, so that part of a notch
// gives exactly its share of the steps, whatever their number. Turning
// back, or pressing or releasing Ctrl, starts afresh: a remainder gathered
// in the other direction or for the other use must not eat into the new
// travel.
int AccumulateWheel(WheelTravel& travel, int delta, bool zoom, int stepsPerNotch) {
    if (travel.zoom != zoom || (delta < 0 && travel.units > 0) || (delta > 0 && travel.units < 0))
        travel.units = 0;
    travel.zoom = zoom;
    travel.units += delta * stepsPerNotch;
    int steps = travel.units / WHEEL_DELTA;  // toward zero: the rest stays for the next message
    travel.units -= steps * WHEEL_DELTA;
    return steps;
}

// A precision touchpad sends many deltas far below a notch, and a pinch a
// burst of Ctrl+wheel messages: both act per notch of accumulated travel.
static WheelTravel EditorWheelTravel;

static LRESULT OnMouseWheel(HWND edit, WPARAM wParam) {
    bool zoom = GetKeyState(VK_CONTROL) < 0;
    int steps = AccumulateWheel(EditorWheelTravel, GET_WHEEL_DELTA_WPARAM(wParam), zoom,
                                zoom ? 1 : LinesPerNotch(edit));
    if (!zoom) {
        if (steps != 0) SendMessageW(edit, EM_LINESCROLL, 0, -steps);
        return 0;
    }
    // The zoom is the view's: the main window runs its commands.
    for (; steps > 0; --steps) SendMessageW(MainWindow, WM_COMMAND, IDM_ZOOM_IN, 0);
    for (; steps < 0; ++steps) SendMessageW(MainWindow, WM_COMMAND, IDM_ZOOM_OUT, 0);
    return 0;
}

// The full name, however long: its length is asked for first.
static std::wstring DroppedFileName(HDROP drop, UINT index) {
    UINT length = DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0) return std::wstring();
    std::wstring name(length + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), length + 1));
    return name;
}

// Each file is loaded in turn, as the Open command would, but the zoom is
// kept; a prompt the user aborts ends the whole drop.
// A file that replaced a large text has put a fresh editor in this one's
// place; the files after it go to that one.
// The drop's memory is given back however the loads end, a failed
// allocation among them.
struct DropFinisher {
    HDROP drop;
    ~DropFinisher() { DragFinish(drop); }
};

static LRESULT OnDropFiles(HDROP drop) {
    DropFinisher finisher{drop};
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path = DroppedFileName(drop, i);
        if (path.empty()) continue;
        if (!PromptSaveChanges()) break;
        HWND editor = EditControl;
        if (!PassesPreloadChecks(editor, path.c_str(), LoadCaller::DroppedFile)) continue;
        if (!LoadTextFile(editor, editor, path.c_str())) continue;
        SetDocumentPath(path.c_str());
        ClearModified();  // also writes the title "Tavilo - <name>"
    }
    return 0;
}

static LRESULT OnHorizontalScroll(HWND edit, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallEditorControl(edit, WM_HSCROLL, wParam, lParam);
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return result;
}

static bool ControlDown() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }
static bool ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

// The control's keys that format text: alignment (Ctrl+E, J, L, R), line
// spacing (Ctrl+1, 2, 5), sub- and superscript (Ctrl+=, Ctrl+Shift+=),
// bold, italic and underline (Ctrl+B, I, U). A plain-text editor has one
// format for all of its text, so they would reformat the whole document.
static bool IsFormattingKey(WPARAM key) {
    switch (key) {
    case 'E': case 'J': case 'L': case 'R': case '1': case '2': case '5':
    case 'B': case 'I': case 'U': case VK_OEM_PLUS: return true;
    default: return false;
    }
}

// Ctrl+Z and Ctrl+Y go through the Undo and Redo that reach kept editors;
// the control's own handling of them, and the characters they would
// become, are kept away. Shift+Enter would make a soft line break (a
// break in the view that the text does not hold): it makes an ordinary
// one. Ctrl+V (Wine's control takes Ctrl+Shift+V as a paste too) and
// Shift+Insert paste the clipboard's plain text, as Edit > Paste does.
static LRESULT OnKeyDown(HWND edit, WPARAM key, LPARAM lParam) {
    if (ControlDown() && key == 'Z') {
        UndoInEditor(edit);
        return 0;
    }
    if (ControlDown() && key == 'Y') {
        RedoInEditor(edit);
        return 0;
    }
    if (ControlDown() && IsFormattingKey(key)) return 0;
    if (ControlDown() && key == 'V') {
        PasteClipboardText(edit);
        return 0;
    }
    if (key == VK_RETURN && ShiftDown() && !ControlDown()) {
        InsertText(edit, L"\r");
        return 0;
    }
    if (key == VK_INSERT && ShiftDown() && !ControlDown()) {
        PasteClipboardText(edit);
        return 0;
    }
    return CallEditorControl(edit, WM_KEYDOWN, key, lParam);
}

static LRESULT OnChar(HWND edit, WPARAM code, LPARAM lParam) {
    constexpr WPARAM CtrlY = 0x19, CtrlZ = 0x1A;
    if (code == CtrlY || code == CtrlZ) return 0;
    // Shift+Enter's line break went in with its key.
    if (code == L'\r' && ShiftDown()) return 0;
    return CallEditorControl(edit, WM_CHAR, code, lParam);
}

static LRESULT HandleEditorMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
    case WM_SETTEXT:
    case WM_PAINT:
    case WM_SETFONT:
    case WM_VSCROLL: InvalidateGutter(); return CallEditorControl(window, message, wParam, lParam);
    case WM_MOUSEWHEEL: InvalidateGutter(); return OnMouseWheel(window, wParam);
    case WM_ERASEBKGND: return 1;  // the control paints its whole background itself
    case WM_HSCROLL: return OnHorizontalScroll(window, wParam, lParam);
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    case WM_KEYDOWN: return OnKeyDown(window, wParam, lParam);
    case WM_CHAR: return OnChar(window, wParam, lParam);
    case WM_PASTE:
    case EM_PASTESPECIAL: PasteClipboardText(window); return 0;
    case EM_UNDO:
    case WM_UNDO: return UndoInEditor(window);
    case EM_REDO: return RedoInEditor(window);
    case EM_CANUNDO: return CanUndoInEditor(window);
    case EM_CANREDO: return CanRedoInEditor(window);
    case WM_NCDESTROY: ForgetEditor(window); return CallEditorControl(window, message, wParam, lParam);
    default: return CallEditorControl(window, message, wParam, lParam);
    }
}

int EditorProcedureDepth = 0;

// The procedure of the rich edit class, which every editor shares.
static WNDPROC RichEditProcedure = nullptr;

// Wine keeps a window's properties in its server, and comctl32's subclass
// chain looks itself up there twice for every message: about 0.1 ms a
// message on this machine, where the control's own answer takes a
// microsecond, and the editor takes dozens of messages a keystroke. So the
// editor is subclassed by its window procedure, with EditSubclassProc
// called as comctl32 would call it.
static LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditSubclassProc(window, message, wParam, lParam, 1, 0);
}

void SubclassEditor(HWND edit) {
    TrackEditor(edit);
    LONG_PTR own = SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorWindowProc));
    if (!RichEditProcedure) RichEditProcedure = reinterpret_cast<WNDPROC>(own);
}

LRESULT CallEditorControl(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(RichEditProcedure, edit, message, wParam, lParam);
}

// Counts the calls on the stack, so that a retired editor is never
// destroyed from inside its own procedure; the count is kept right when a
// handler throws, which ends here.
LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    ++EditorProcedureDepth;
    LRESULT result;
    try {
        result = RunTracked(window, message, wParam, lParam, HandleEditorMessage);
    } catch (...) {
        result = AnswerFailedMessage(window, message);
    }
    if (--EditorProcedureDepth == 0) PostRetiredEditorsDestruction();
    return result;
}
