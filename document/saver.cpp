// Saving the editor's text as UTF-8: to a given file, to the document's
// own file, or to one chosen in the save dialog.
#include "document/document.h"

#include <memory>
#include <new>

#include "app/app.h"

// On 10 MB, fresh memory costs about as much as reading the text out of
// the control: the text is read into a buffer that is not cleared first,
// and ASCII text (the common case) is narrowed to UTF-8 inside it. Only
// from the first other character on does a second buffer take the bytes.
static bool WriteEditorText(HWND edit, const wchar_t* path) {
    int length = GetWindowTextLengthW(edit);
    std::unique_ptr<wchar_t[]> text(new wchar_t[static_cast<size_t>(length) + 1]);
    size_t count = static_cast<size_t>(SendMessageW(edit, WM_GETTEXT, static_cast<WPARAM>(length) + 1,
                                                    reinterpret_cast<LPARAM>(text.get())));
    size_t ascii = NarrowAsciiInPlace(text.get(), count);
    const char* narrow = reinterpret_cast<const char*>(text.get());
    if (ascii == count) return WriteFileSafely(path, narrow, count);
    std::string bytes(narrow, ascii);
    bytes += EncodeUtf8(std::wstring(text.get() + ascii, count - ascii));
    return WriteFileSafely(path, bytes);
}

bool WriteTextFile(HWND edit, const wchar_t* path) {
    // Running out of memory for a large text counts as a failed write.
    try {
        return WriteEditorText(edit, path);
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
