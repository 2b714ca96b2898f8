// The unsaved-changes prompt that guards New, Open, dropped files and
// Exit, and the steps that follow every save.
#include "document/document.h"

#include "app/app_values.h"

bool FinishSave(SaveResult result) {
    if (result == SaveResult::Failed) {
        std::wstring text = L"Failed to save file.";
        if (!UnremovedTemporaryFile.empty())
            text += L"\n\nA temporary file could not be removed:\n" + UnremovedTemporaryFile;
        UnremovedTemporaryFile.clear();
        MessageBoxW(MainWindow, text.c_str(), L"Error", MB_ICONERROR);
    }
    if (result != SaveResult::Saved) return false;
    ClearModified();
    // The file on disk is UTF-8 now, whatever it was loaded as.
    lstrcpynW(DocumentEncoding, EncodingUtf8, ARRAYSIZE(DocumentEncoding));
    SendMessageW(MainWindow, WM_DOCUMENTSTATECHANGED, 0, 0);
    return true;
}

bool PromptSaveChanges() {
    // Edits whose sync is still queued count: read the control's flag now
    // rather than lose them without asking.
    SyncModifiedState();
    if (!IsModified) return true;
    std::wstring text = L"Save changes for " + DocumentName + L"?";
    int answer = MessageBoxW(MainWindow, text.c_str(), L"Confirm", MB_ICONQUESTION | MB_YESNOCANCEL);
    if (answer == IDNO) return true;
    if (answer != IDYES) return false;
    return FinishSave(SaveDocument());
}
