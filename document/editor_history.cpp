// Undo and Redo across editors: the editors kept by a Replace All that put
// its result into a fresh editor, and which of them is shown.
#include "document/document.h"

#include <richedit.h>

#include <vector>

#include "app/app_values.h"
#include "view/view_values.h"

// How the view was set up when an editor was last shown: one brought back
// later takes the font, word wrap and zoom chosen meanwhile.
struct EditorLook {
    uint8_t fontIndex, fontSize;
    float dpiScale;
    bool autowrap;
    int zoom;
    bool SameFont(const EditorLook& other) const {
        return fontIndex == other.fontIndex && fontSize == other.fontSize && dpiScale == other.dpiScale;
    }
};

struct KeptEditor {
    HWND edit;
    EditorLook look;
};

// Oldest first; empty while no editor is kept. Otherwise EditControl is
// Editors[Shown].edit.
static std::vector<KeptEditor> Editors;
static size_t Shown = 0;
// Undo steps taken in the shown editor since it came back: Redo spends
// them before it moves on to the later editor. Steps the editor could
// redo beyond them date from before the Replace All, and are stale.
static int UndoneSinceShown = 0;
// Non-zero while the shown editor undoes or redoes: its EN_CHANGE is no edit.
static int UndoRedoDepth = 0;
// Each kept editor holds a whole document; a few Replace Alls back is enough.
constexpr size_t MaxEditorsKept = 3;

static EditorLook CurrentLook() { return {FontIndex, FontSize, DpiScale, Autowrap, ZoomPercent}; }

// The view's settings that changed while the editor was hidden. Setting
// them marks the control modified; its own flag is kept.
static void ApplyLook(HWND edit, const EditorLook& look) {
    EditorLook now = CurrentLook();
    if (look.SameFont(now) && look.autowrap == now.autowrap && look.zoom == now.zoom) return;
    bool modified = SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0;
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    if (!look.SameFont(now)) {
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(EditorFont), FALSE);
        SetEditorTextColour(edit, ThemeTable[ColorIndex].text);
    }
    if (look.autowrap != now.autowrap) SendMessageW(edit, EM_SETTARGETDEVICE, 0, now.autowrap ? 0 : 1);
    if (look.zoom != now.zoom) SendMessageW(edit, EM_SETZOOM, now.zoom, 100);
    SendMessageW(edit, EM_SETMODIFY, modified, 0);
    ResumeEditorDrawing(edit);
}

static void RetireEditorsAfterShown() {
    while (Editors.size() > Shown + 1) {
        RetireEditor(Editors.back().edit);
        Editors.pop_back();
    }
}

// The gutter, the status bar and the title follow the editor now shown;
// the window is laid out for its lines (its text is in: no more of its
// shape is needed).
static void ShowKeptEditor(size_t index) {
    Editors[Shown].look = CurrentLook();
    ApplyLook(Editors[index].edit, Editors[index].look);
    PutEditorInPlace(Editors[index].edit);
    Shown = index;
    UndoneSinceShown = 0;
    const ParagraphIndex* paragraphs = EditorParagraphs(EditControl);
    TextShape shown;
    shown.paragraphs = paragraphs ? paragraphs->Count() : 0;
    SendMessageW(MainWindow, WM_LAYOUTFORTEXT, 0, reinterpret_cast<LPARAM>(&shown));
    InvalidateRect(EditControl, nullptr, TRUE);
    InvalidateRect(GutterWindow, nullptr, FALSE);
    SendMessageW(MainWindow, WM_DOCUMENTSTATECHANGED, 0, 0);
    ScheduleModifiedSync();
}

void ShowFreshEditorKeepingOld(HWND fresh) {
    if (Editors.empty()) {
        Editors.push_back({EditControl, CurrentLook()});
        Shown = 0;
    }
    RetireEditorsAfterShown();
    Editors[Shown].look = CurrentLook();
    PutEditorInPlace(fresh);
    Editors.push_back({fresh, CurrentLook()});
    while (Editors.size() > MaxEditorsKept) {
        RetireEditor(Editors.front().edit);
        Editors.erase(Editors.begin());
    }
    Shown = Editors.size() - 1;
    UndoneSinceShown = 0;
}

static bool HasEditorBefore() { return !Editors.empty() && Shown > 0; }
static bool HasEditorAfter() { return !Editors.empty() && Shown + 1 < Editors.size(); }

// The control's own answers, from below the editor's subclass procedure,
// inside which these run.
static bool OwnCanUndo(HWND edit) { return CallEditorControl(edit, EM_CANUNDO, 0, 0) != 0; }
static bool OwnCanRedo(HWND edit) { return CallEditorControl(edit, EM_CANREDO, 0, 0) != 0; }

LRESULT UndoInEditor(HWND edit) {
    if (edit != EditControl) return FALSE;  // a kept editor takes no commands
    if (OwnCanUndo(edit)) {
        ++UndoRedoDepth;
        LRESULT result = RunTrackedUndo(edit, EM_UNDO);
        --UndoRedoDepth;
        if (HasEditorAfter()) ++UndoneSinceShown;
        return result;
    }
    if (!HasEditorBefore()) return FALSE;
    ShowKeptEditor(Shown - 1);
    return TRUE;
}

LRESULT RedoInEditor(HWND edit) {
    if (edit != EditControl) return FALSE;
    bool ownFirst = UndoneSinceShown > 0 || !HasEditorAfter();
    if (ownFirst && OwnCanRedo(edit)) {
        ++UndoRedoDepth;
        LRESULT result = RunTrackedUndo(edit, EM_REDO);
        --UndoRedoDepth;
        if (UndoneSinceShown > 0) --UndoneSinceShown;
        return result;
    }
    if (!HasEditorAfter()) return FALSE;
    ShowKeptEditor(Shown + 1);
    return TRUE;
}

LRESULT CanUndoInEditor(HWND edit) { return OwnCanUndo(edit) || (edit == EditControl && HasEditorBefore()); }

LRESULT CanRedoInEditor(HWND edit) {
    if (edit == EditControl && HasEditorAfter()) return TRUE;
    return OwnCanRedo(edit);
}

void NoteEditorEdited() {
    if (UndoRedoDepth > 0 || !HasEditorAfter()) return;
    RetireEditorsAfterShown();
    UndoneSinceShown = 0;
}

void MarkKeptEditorsModified() {
    for (const KeptEditor& kept : Editors) {
        if (kept.edit != EditControl) SendMessageW(kept.edit, EM_SETMODIFY, TRUE, 0);
    }
}

void ForgetEditorHistory() {
    for (const KeptEditor& kept : Editors) {
        if (kept.edit != EditControl) RetireEditor(kept.edit);
    }
    Editors.clear();
    Shown = 0;
    UndoneSinceShown = 0;
}
