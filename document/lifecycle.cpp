// The File commands New, Open, Save and Save As, and the exit routine.
#include "document/document.h"

#include "app/app.h"
#include "view/view.h"

bool ExitInProgress = false;

void NewDocumentCommand() {
    if (!PromptSaveChanges()) return;
    SetDocumentPath(nullptr);
    ForgetEditorHistory();
    ReplaceEditorText(EditControl, L"");
    ClearModified();
    ResetView();
    if (GutterWindow) InvalidateRect(GutterWindow, nullptr, TRUE);
    UpdateStatusBar();
}

// A file that does not load leaves the document as it was: changes the
// user gave up at the prompt are still on screen and still not in any
// file, so they stay marked unsaved under the old title.
void OpenDocumentCommand() {
    if (!PromptSaveChanges()) return;
    std::wstring path;
    if (!AskOpenPath(MainWindow, path)) return;
    if (!PassesPreloadChecks(MainWindow, path.c_str(), LoadCaller::OpenCommand)) return;
    if (!LoadTextFile(MainWindow, EditControl, path.c_str())) return;
    SetDocumentPath(path.c_str());
    ClearModified();
    ResetView();
}

void SaveDocumentCommand() { FinishSave(SaveDocument()); }

void SaveDocumentAsCommand() { FinishSave(SaveDocumentAs(MainWindow, EditControl)); }

void RequestExit() {
    // A second request while the prompt is open (another close, a log-off)
    // is ignored; the first one decides.
    if (ExitInProgress) return;
    ExitInProgress = true;
    if (!PromptSaveChanges()) {
        ExitInProgress = false;
        return;
    }
    SaveSettings();
    DestroyWindow(MainWindow);
    PostQuitMessage(0);
}

// Logging off asks what closing asks, but the window stays: another
// program may still refuse and the session go on. Whether it ends is told
// by WM_ENDSESSION.
static bool ChangesGivenUpForSessionEnd = false;

bool AnswerEndSessionQuery() {
    // The exit prompt is open: the user has not decided yet.
    if (ExitInProgress) return false;
    ExitInProgress = true;
    bool mayEnd = PromptSaveChanges();
    ExitInProgress = false;
    // "No" gives the changes up; they need no emergency copy.
    ChangesGivenUpForSessionEnd = mayEnd && IsModified;
    return mayEnd;
}

// The session ends whatever was answered (a refusal can be overridden,
// or no query came at all): unsaved text not given up is kept in an
// emergency copy. The system ends the process after this returns.
void EndSession(bool ending) {
    bool givenUp = ChangesGivenUpForSessionEnd;
    ChangesGivenUpForSessionEnd = false;
    if (!ending) return;
    SyncModifiedState();
    if (!givenUp) WriteEmergencyCopy();
    SaveSettings();
}
