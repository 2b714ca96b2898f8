// The common open and save dialogs, with the program's file types.
#include "document/document.h"

#include <commdlg.h>

static const wchar_t TextFileFilter[] = L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

// The zeroed structure both dialogs start from; the path buffer holds
// 260 characters and starts empty.
static OPENFILENAMEW FileDialogFields(HWND owner, wchar_t (&buffer)[MAX_PATH], DWORD flags) {
    OPENFILENAMEW fields = {};
    fields.lStructSize = sizeof(fields);
    fields.hwndOwner = owner;
    fields.lpstrFilter = TextFileFilter;
    fields.lpstrFile = buffer;
    fields.nMaxFile = MAX_PATH;
    fields.Flags = flags;
    fields.lpstrDefExt = L"txt";
    return fields;
}

bool AskOpenPath(HWND owner, std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    OPENFILENAMEW fields = FileDialogFields(owner, buffer, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!GetOpenFileNameW(&fields)) return false;
    path = buffer;
    return true;
}

bool AskSavePath(HWND owner, std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    OPENFILENAMEW fields = FileDialogFields(owner, buffer, OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameW(&fields)) return false;
    path = buffer;
    return true;
}
