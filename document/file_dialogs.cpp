// The common open and save dialogs, with the program's file types.
#include "document/document.h"

#include <commdlg.h>

static const wchar_t TextFileFilter[] = L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

// Room for the longest path Windows handles, so that a long one chosen in
// the dialog is neither refused nor cut.
constexpr DWORD PathRoom = 32768;

// The zeroed structure both dialogs start from; the path buffer starts empty.
static OPENFILENAMEW FileDialogFields(HWND owner, std::wstring& buffer, DWORD flags) {
    buffer.assign(PathRoom, L'\0');
    OPENFILENAMEW fields = {};
    fields.lStructSize = sizeof(fields);
    fields.hwndOwner = owner;
    fields.lpstrFilter = TextFileFilter;
    fields.lpstrFile = buffer.data();
    fields.nMaxFile = PathRoom;
    fields.Flags = flags;
    fields.lpstrDefExt = L"txt";
    return fields;
}

bool AskOpenPath(HWND owner, std::wstring& path) {
    std::wstring buffer;
    OPENFILENAMEW fields = FileDialogFields(owner, buffer, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!GetOpenFileNameW(&fields)) return false;
    path = buffer.c_str();
    return true;
}

bool AskSavePath(HWND owner, std::wstring& path) {
    std::wstring buffer;
    OPENFILENAMEW fields = FileDialogFields(owner, buffer, OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameW(&fields)) return false;
    path = buffer.c_str();
    return true;
}
