// Writing a file so that a failure at any point leaves the old file as it
// was: the bytes go to a temporary file in the target's folder, which then
// takes the target's place. A failed write removes what it made.
#include "document/document.h"

#include "document/file_handle.h"

std::wstring UnremovedTemporaryFile;

// The folder of a full path, with its trailing backslash; empty when the
// path names no file.
static std::wstring FolderOf(const std::wstring& full) {
    size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == full.size()) return std::wstring();
    return full.substr(0, slash + 1);
}

// "tav<hex>.tmp" in the folder, the names GetTempFileNameW gives; that
// function is not used since it takes no folder of MAX_PATH - 14
// characters or more.
static std::wstring TemporaryName(const std::wstring& folder, unsigned unique) {
    wchar_t name[16];
    wsprintfW(name, L"tav%X.tmp", (unique & 0xFFFF) ? unique & 0xFFFF : 1);
    return folder + name;
}

// A new file of such a name, created here (CREATE_NEW: another program's
// file is never taken) and open for writing.
static HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring& path) {
    unsigned start = GetTickCount();
    for (unsigned i = 0; i < 0x10000; ++i) {
        path = TemporaryName(folder, start + i);
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// A name of that kind that no file has, for ReplaceFileW's backup: it is
// not created, so there is nothing to remove should the folder not allow it.
static std::wstring UnusedName(const std::wstring& folder) {
    unsigned start = GetTickCount() + 0x8000;
    for (unsigned i = 0; i < 0x10000; ++i) {
        std::wstring path = TemporaryName(folder, start + i);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND)
            return path;
    }
    return std::wstring();
}

static bool WriteAndFlush(FileHandle& file, const char* bytes, size_t size) {
    DWORD written = 0;
    bool complete =
        WriteFile(file.Get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
    // A close can still report a failed write-back, so its result counts too.
    return complete && FlushFileBuffers(file.Get()) && file.Close();
}

// Whether the file is gone is what counts, not what DeleteFileW says: on
// Windows a file another program holds open with delete sharing stays
// until it is closed, and Wine's DeleteFileW reports success for a file
// that a Linux append-only folder keeps.
static bool RemoveFile(const std::wstring& path) {
    DeleteFileW(path.c_str());
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// ReplaceFileW keeps the target's attributes and creation time. Without a
// backup name some of its failures would leave the old file under a name
// nobody knows, so it gets one; when it fails after setting the old file
// aside (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), the old file is put back, or
// else named in the failure message.
static bool ReplaceExisting(const std::wstring& target, const std::wstring& temporary,
                            const std::wstring& folder) {
    std::wstring backup = UnusedName(folder);
    if (backup.empty()) return false;
    if (ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        RemoveFile(backup);
        return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
        !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        UnremovedTemporaryFile = DisplayedPath(backup);
    }
    return false;
}

static bool PutInPlace(const std::wstring& target, const std::wstring& temporary,
                       const std::wstring& folder) {
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    return ReplaceExisting(target, temporary, folder);
}

// Wine lets a process running as root open a read-only file for writing
// and move another file over it, so the attribute is checked here.
static bool IsWritableTarget(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

bool WriteFileSafely(const wchar_t* path, const char* bytes, size_t size) {
    UnremovedTemporaryFile.clear();
    std::wstring target = ExtendedLengthPath(path);
    if (!IsWritableTarget(target)) return false;
    std::wstring folder = FolderOf(target);
    if (folder.empty()) return false;
    std::wstring temporary;
    FileHandle file(CreateTemporaryFile(folder, temporary));
    if (!file.IsValid()) return false;
    if (WriteAndFlush(file, bytes, size) && PutInPlace(target, temporary, folder)) return true;
    file.Close();
    if (!RemoveFile(temporary) && UnremovedTemporaryFile.empty())
        UnremovedTemporaryFile = DisplayedPath(temporary);
    return false;
}

bool WriteFileSafely(const wchar_t* path, const std::string& bytes) {
    return WriteFileSafely(path, bytes.data(), bytes.size());
}
