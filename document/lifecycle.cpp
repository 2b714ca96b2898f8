// The document's identity, modified state and title; New, Open, Save,
// Save As and the exit routine.
#include "document/document.h"

#include <richedit.h>

#include "app/app.h"
#include "view/view.h"

std::wstring DocumentPath;
std::wstring DocumentName = L"New Document";
bool IsModified = false;

void SetDocumentPath(const wchar_t* path) {
    if (!path || !*path) {
        DocumentPath.clear();
        DocumentName = L"New Document";
        return;
    }
    DocumentPath = path;
    size_t slash = DocumentPath.find_last_of(L"\\/");
    DocumentName = slash == std::wstring::npos ? DocumentPath : DocumentPath.substr(slash + 1);
}

void UpdateWindowTitle() {
    std::wstring title = L"Tavilo - " + DocumentName;
    if (IsModified) title += L" *(unsaved)";
    SetWindowTextW(MainWindow, title.c_str());
}

void ClearModified() {
    IsModified = false;
    SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);
    UpdateWindowTitle();
}

// Minimal: never asks; the full prompt replaces it.
bool PromptSaveChanges() { return true; }

void RequestExit() {
    SaveSettings();
    DestroyWindow(MainWindow);
}

void NewDocumentCommand() {}
void OpenDocumentCommand() {}
void SaveDocumentCommand() {}
void SaveDocumentAsCommand() {}

void OnEditorChange() { SetTimer(MainWindow, ModifiedSyncTimer, 1, nullptr); }

void OnModifiedSyncTimer() {
    KillTimer(MainWindow, ModifiedSyncTimer);
    bool modified = SendMessageW(EditControl, EM_GETMODIFY, 0, 0) != 0;
    if (modified == IsModified) return;
    IsModified = modified;
    UpdateWindowTitle();
}
