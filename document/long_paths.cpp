// Paths of any length for the file functions: the full path, with the
// "\\?\" prefix where Windows would otherwise stop at MAX_PATH; and the
// executable's folder, however long.
#include "document/document.h"

// Without the prefix the file functions of Windows refuse paths of
// MAX_PATH characters or more (unless the process is long-path aware,
// which needs a system setting). With it a path goes to the file system
// as it is, so it must be full and in canonical form first.
std::wstring ExtendedLengthPath(const wchar_t* path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    // Below MAX_PATH less a temporary file's name the path stays as the
    // user gave it (and as messages show it).
    if (full.size() < MAX_PATH - 12 || full.compare(0, 4, L"\\\\?\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring DisplayedPath(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

// The buffer grows until the whole path fits (a cut path
// would name some other folder).
std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size())
        path.resize(path.size() * 2);
    if (length == 0) return std::wstring();
    path.resize(length);
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    return path.substr(0, slash + 1);
}
