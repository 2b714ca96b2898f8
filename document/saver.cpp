// Saving the editor's text as UTF-8: to a given file, to the document's
// own file, or to one chosen in the save dialog.
#include "document/document.h"

#include <memory>
#include <new>

#include "app/app.h"

// A file larger than FileSizeLimit would be refused by the next Open
// (a 10,400,000-byte file with LF line ends saves as 10,565,079 bytes with
// CR LF), so the user is told before it is written and may keep editing.
static bool ConfirmOversizeSave(size_t size) {
    if (size <= static_cast<size_t>(FileSizeLimit)) return true;
    int answer =
        MessageBoxW(MainWindow,
                    L"The saved file will be larger than 10MB: Tavilo will not be able to open it again.\n"
                    L"Save it anyway?",
                    L"Warning", MB_ICONWARNING | MB_YESNO);
    return answer == IDYES;
}

// On 10 MB, fresh memory costs about as much as reading the text out of
// the control: the text is read into a buffer that is not cleared first,
// and ASCII text (the common case) is narrowed to UTF-8 inside it. Only
// from the first other character on does a second buffer take the bytes.
static SaveResult WriteEditorText(HWND edit, const wchar_t* path) {
    int length = GetWindowTextLengthW(edit);
    std::unique_ptr<wchar_t[]> text(new wchar_t[static_cast<size_t>(length) + 1]);
    size_t count = static_cast<size_t>(SendMessageW(edit, WM_GETTEXT, static_cast<WPARAM>(length) + 1,
                                                    reinterpret_cast<LPARAM>(text.get())));
    size_t ascii = NarrowAsciiInPlace(text.get(), count);
    const char* narrow = reinterpret_cast<const char*>(text.get());
    std::string converted;
    if (ascii < count) {
        converted.assign(narrow, ascii);
        converted += EncodeUtf8(std::wstring(text.get() + ascii, count - ascii));
    }
    const char* bytes = ascii < count ? converted.data() : narrow;
    size_t size = ascii < count ? converted.size() : count;
    if (!ConfirmOversizeSave(size)) return SaveResult::Cancelled;
    return WriteFileSafely(path, bytes, size) ? SaveResult::Saved : SaveResult::Failed;
}

SaveResult WriteTextFile(HWND edit, const wchar_t* path) {
    // Running out of memory for a large text counts as a failed write.
    try {
        return WriteEditorText(edit, path);
    } catch (const std::bad_alloc&) {
        return SaveResult::Failed;
    }
}

SaveResult SaveDocumentAs(HWND owner, HWND edit) {
    std::wstring path;
    if (!AskSavePath(owner, path)) return SaveResult::Cancelled;
    SaveResult result = WriteTextFile(edit, path.c_str());
    if (result != SaveResult::Saved) return result;
    SetDocumentPath(path.c_str());
    UpdateWindowTitle();
    return SaveResult::Saved;
}

SaveResult SaveDocument() {
    if (DocumentPath.empty()) return SaveDocumentAs(MainWindow, EditControl);
    return WriteTextFile(EditControl, DocumentPath.c_str());
}
