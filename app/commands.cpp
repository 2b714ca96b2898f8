// WM_COMMAND of the main window: the editor's change notification, then
// one line per command, then the view options.
#include "app/app.h"

#include <richedit.h>

#include <cstdint>

#include "document/document.h"
#include "help/help.h"
#include "print/print.h"
#include "resources/resource.h"
#include "search/search.h"
#include "view/view.h"

static void Undo() {
    if (SendMessageW(EditControl, EM_CANUNDO, 0, 0)) SendMessageW(EditControl, EM_UNDO, 0, 0);
}

static void Redo() {
    if (SendMessageW(EditControl, EM_CANREDO, 0, 0)) SendMessageW(EditControl, EM_REDO, 0, 0);
}

// Another document starts at a zoom of 100 %, its gutter sized afresh.
static void NewDocument() {
    if (NewDocumentCommand()) ResetView();
}

static void OpenDocument() {
    if (OpenDocumentCommand()) ResetView();
}

static void RunCommand(UINT id) {
    switch (id) {
    case IDM_FILE_EXIT: ExitProgram(); break;
    case IDM_FILE_NEW: NewDocument(); break;
    case IDM_FILE_OPEN: OpenDocument(); break;
    case IDM_FILE_SAVE: SaveDocumentCommand(); break;
    case IDM_FILE_SAVE_AS: SaveDocumentAsCommand(); break;
    case IDM_FILE_PRINT: PrintCommand(); break;
    case IDM_EDIT_UNDO: Undo(); break;
    case IDM_EDIT_REDO: Redo(); break;
    case IDM_EDIT_CUT: SendMessageW(EditControl, WM_CUT, 0, 0); break;
    case IDM_EDIT_COPY: SendMessageW(EditControl, WM_COPY, 0, 0); break;
    case IDM_EDIT_PASTE: SendMessageW(EditControl, WM_PASTE, 0, 0); break;
    case IDM_EDIT_FIND: FindCommand(); break;
    case IDM_EDIT_REPLACE: ReplaceCommand(); break;
    case IDM_EDIT_GOTO: GoToCommand(); break;
    case IDM_HELP_CHECK_UPDATE: CheckUpdateCommand(); break;
    case IDM_HELP_ABOUT: AboutCommand(); break;
    case IDM_OPTIONS_AUTOWRAP: ToggleAutoWrap(); break;
    case IDM_ZOOM_OUT:
    case IDM_ZOOM_IN:
    case IDM_ZOOM_100:
    case IDM_ZOOM_150:
    case IDM_ZOOM_200:
    case IDM_ZOOM_300: ZoomCommand(id); break;
    default: break;
    }
}

void DispatchCommand(HWND, WPARAM wParam, LPARAM) {
    // EN_CHANGE (0x0300) from the editor, id 1300, compared on the low 32
    // bits of wParam alone.
    if (static_cast<uint32_t>(wParam) == ((EN_CHANGE << 16) | IDC_EDITOR)) {
        NoteEditorTextChanged(EditControl);
        OnEditorChange();
        return;
    }
    UINT id = LOWORD(wParam);
    RunCommand(id);
    ApplyViewOption(id);
}
