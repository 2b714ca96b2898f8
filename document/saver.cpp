// Saving the editor's text as UTF-8: to a given file, to the document's
// own file, or to one chosen in the save dialog.
#include "document/document.h"

#include <richedit.h>

#include <algorithm>
#include <memory>
#include <new>

#include "app/app_values.h"

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

// The text with each line break as CR LF, and how many characters the
// control said it has in that form. GetWindowTextLengthW may only estimate
// and WM_GETTEXT tells of no copy that fell short; EM_GETTEXTEX says how
// much it copied.
struct EditorTextCopy {
    std::unique_ptr<wchar_t[]> units;
    size_t copied = 0;
    size_t expected = 0;
};

static EditorTextCopy CopyEditorText(HWND edit) {
    GETTEXTLENGTHEX measure = {GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    LRESULT length = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0);
    EditorTextCopy copy;
    copy.expected = static_cast<size_t>(length > 0 ? length : 0);
    copy.units.reset(new wchar_t[copy.expected + 1]);
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>((copy.expected + 1) * sizeof(wchar_t));
    request.flags = GT_USECRLF;
    request.codepage = 1200;  // UTF-16
    LRESULT copied = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                  reinterpret_cast<LPARAM>(copy.units.get()));
    copy.copied = std::min(static_cast<size_t>(copied > 0 ? copied : 0), copy.expected);
    return copy;
}

// On 10 MB, fresh memory costs about as much as reading the text out of
// the control: the text is read into a buffer that is not cleared first,
// and ASCII text (the common case) is narrowed to UTF-8 inside it. Only
// from the first other character on does a second buffer take the bytes.
// A copy shorter than the control's count would put a cut-off text in
// place of the old file, so the save fails instead.
static SaveResult WriteEditorText(HWND edit, const wchar_t* path) {
    EditorTextCopy copy = CopyEditorText(edit);
    if (copy.copied < copy.expected) return SaveResult::Failed;
    wchar_t* text = copy.units.get();
    size_t count = copy.copied;
    size_t ascii = NarrowAsciiInPlace(text, count);
    const char* narrow = reinterpret_cast<const char*>(text);
    std::string converted;
    if (ascii < count) {
        converted.assign(narrow, ascii);
        converted += EncodeUtf8(std::wstring(text + ascii, count - ascii));
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
