// The File commands New, Open, Save and Save As, and the exit routine.
#include "document/document.h"

#include "app/app_values.h"

bool ExitInProgress = false;

bool NewDocumentCommand() {
    if (!PromptSaveChanges()) return false;
    SetDocumentPath(nullptr);
    ForgetEditorHistory();
    ReplaceEditorText(EditControl, L"");
    ClearModified();
    return true;
}

// A file that does not load leaves the document as it was: changes the
// user gave up at the prompt are still on screen and still not in any
// file, so they stay marked unsaved under the old title.
bool OpenDocumentCommand() {
    if (!PromptSaveChanges()) return false;
    std::wstring path;
    if (!AskOpenPath(MainWindow, path)) return false;
    if (!PassesPreloadChecks(MainWindow, path.c_str(), LoadCaller::OpenCommand)) return false;
    if (!LoadTextFile(MainWindow, EditControl, path.c_str())) return false;
    SetDocumentPath(path.c_str());
    ClearModified();
    return true;
}

void SaveDocumentCommand() { FinishSave(SaveDocument()); }

void SaveDocumentAsCommand() { FinishSave(SaveDocumentAs(MainWindow, EditControl)); }

bool RequestExit() {
    // A second request while the prompt is open (another close, a log-off)
    // is ignored; the first one decides.
    if (ExitInProgress) return false;
    ExitInProgress = true;
    if (!PromptSaveChanges()) {
        ExitInProgress = false;
        return false;
    }
    return true;
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
}
