// Loading a text file into the editor, and the checks made before it.
#include "document/document.h"

#include <richedit.h>

#include "app/app.h"
#include "view/view.h"

wchar_t DocumentEncoding[11] = L" UTF-8 ";

struct TooLargeMessage {
    const wchar_t* text;
    const wchar_t* caption;
};

static TooLargeMessage TooLargeMessageFor(LoadCaller caller) {
    if (caller == LoadCaller::OpenCommand) {
        return {L"File is too large to open. Choose a file smaller than 10MB.", L"Error"};
    }
    return {L"File is too large to open. Choose a file smaller than 10MB", L"Warning"};
}

bool PassesPreloadChecks(HWND owner, const wchar_t* path, LoadCaller caller) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &info)) {
        MessageBoxW(owner, L"Failed to get file info.", L"Error", MB_ICONERROR);
        return false;
    }
    LONGLONG size =
        static_cast<LONGLONG>((static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    if (size > FileSizeLimit) {
        TooLargeMessage message = TooLargeMessageFor(caller);
        MessageBoxW(owner, message.text, message.caption, MB_ICONWARNING);
        return false;
    }
    return true;
}

// Minimal loader: UTF-8 text only. The full loader with encoding detection
// replaces it.
bool LoadTextFile(HWND, HWND edit, const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    std::string bytes(size, '\0');
    DWORD read = 0;
    bool ok = ReadFile(file, bytes.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!ok) return false;
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), text.data(), length);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}
