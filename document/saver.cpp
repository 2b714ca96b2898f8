// Saving the editor's text as UTF-8: to a given file, to the document's
// own file, or to one chosen in the save dialog.
#include "document/document.h"

#include <new>

#include "app/app.h"

static std::wstring ReadEditorText(HWND edit) {
    int length = GetWindowTextLengthW(edit);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(edit, text.data(), length + 1));
    return text;
}

bool WriteTextFile(HWND edit, const wchar_t* path) {
    // Running out of memory for a large text counts as a failed write.
    try {
        std::string bytes = EncodeUtf8(ReadEditorText(edit));
        return WriteFileSafely(path, bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

SaveResult SaveDocumentAs(HWND owner, HWND edit) {
    std::wstring path;
    if (!AskSavePath(owner, path)) return SaveResult::Cancelled;
    if (!WriteTextFile(edit, path.c_str())) return SaveResult::Failed;
    SetDocumentPath(path.c_str());
    UpdateWindowTitle();
    return SaveResult::Saved;
}

SaveResult SaveDocument() {
    if (DocumentPath.empty()) return SaveDocumentAs(MainWindow, EditControl);
    return WriteTextFile(EditControl, DocumentPath.c_str()) ? SaveResult::Saved : SaveResult::Failed;
}
