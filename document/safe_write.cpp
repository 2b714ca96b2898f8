// Writing a file so that a failure at any point leaves the old file as it
// was: the bytes go to a temporary file in the target's folder, which then
// takes the target's place.
#include "document/document.h"

#include "document/file_handle.h"

// The target's folder, with its trailing backslash; empty when the path
// names no file.
static std::wstring FolderOf(const wchar_t* path) {
    wchar_t full[MAX_PATH];
    wchar_t* name = nullptr;
    DWORD length = GetFullPathNameW(path, MAX_PATH, full, &name);
    if (length == 0 || length >= MAX_PATH || !name) return std::wstring();
    return std::wstring(full, name - full);
}

// A new, unused name in the folder; GetTempFileNameW creates the file.
static std::wstring CreateTemporaryFile(const std::wstring& folder) {
    wchar_t name[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"tav", 0, name)) return std::wstring();
    return name;
}

static bool WriteAndFlush(const std::wstring& path, const char* bytes, size_t size) {
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    DWORD written = 0;
    bool complete =
        WriteFile(file.Get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
    // A close can still report a failed write-back, so its result counts too.
    return complete && FlushFileBuffers(file.Get()) && file.Close();
}

// ReplaceFileW keeps the target's attributes and creation time. Without a
// backup name some of its failures would leave the old file under a name
// nobody knows, so it gets one; when it fails after setting the old file
// aside (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), the old file is put back.
static bool ReplaceExisting(const wchar_t* target, const std::wstring& temporary,
                            const std::wstring& folder) {
    std::wstring backup = CreateTemporaryFile(folder);
    if (backup.empty()) return false;
    DeleteFileW(backup.c_str());
    if (ReplaceFileW(target, temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        DeleteFileW(backup.c_str());
        return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        MoveFileExW(backup.c_str(), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    return false;
}

static bool PutInPlace(const wchar_t* target, const std::wstring& temporary, const std::wstring& folder) {
    if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary.c_str(), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    return ReplaceExisting(target, temporary, folder);
}

// Wine lets a process running as root open a read-only file for writing
// and move another file over it, so the attribute is checked here.
static bool IsWritableTarget(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

bool WriteFileSafely(const wchar_t* path, const char* bytes, size_t size) {
    if (!IsWritableTarget(path)) return false;
    std::wstring folder = FolderOf(path);
    if (folder.empty()) return false;
    std::wstring temporary = CreateTemporaryFile(folder);
    if (temporary.empty()) return false;
    if (WriteAndFlush(temporary, bytes, size) && PutInPlace(path, temporary, folder)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

bool WriteFileSafely(const wchar_t* path, const std::string& bytes) {
    return WriteFileSafely(path, bytes.data(), bytes.size());
}
