// The emergency copy of unsaved text: written beside the executable as
// "recovered-YYYYMMDD-HHMMSS.txt" (UTF-8, CR LF) when the process dies of
// an unhandled exception or the session ends with unsaved changes, listed
// in "recovered.pending", and reported once by the next start.
#include "document/document.h"

#include <richedit.h>

#include "app/app_values.h"
#include "document/file_handle.h"

namespace {

// The names of the copies still to be reported, one a line. A list of
// what is still to be told, rather than a record of what was, leaves the
// copies untouched under the names the user is given, never reports a
// file the user saved under a like name, and holds every copy when
// several instances end at once (a log-off).
const wchar_t PendingListName[] = L"recovered.pending";
const wchar_t CopyPrefix[] = L"recovered-";
const wchar_t CopySuffix[] = L".txt";
constexpr DWORD PendingListLimit = 65536;
constexpr size_t CopyNameRoom = 40;  // "recovered-YYYYMMDD-HHMMSS-NN.txt" and NUL

// Memory straight from the system rather than from the heap: the fault
// that brings the filter may have broken the heap.
class SystemBuffer {
public:
    SystemBuffer() = default;
    ~SystemBuffer() {
        if (data_) VirtualFree(data_, 0, MEM_RELEASE);
    }
    SystemBuffer(const SystemBuffer&) = delete;
    SystemBuffer& operator=(const SystemBuffer&) = delete;

    bool Allocate(size_t bytes) {
        data_ = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        return data_ != nullptr;
    }
    template <typename T>
    T* As() const {
        return static_cast<T*>(data_);
    }

private:
    void* data_ = nullptr;
};

// Taken at start-up by InstallCrashProtection, before anything can fail.
const std::wstring& CopyFolder() {
    static const std::wstring folder = ExecutableFolder();
    return folder;
}

// The folder and a name, in `path`.
bool JoinCopyPath(const wchar_t* name, SystemBuffer& path) {
    const std::wstring& folder = CopyFolder();
    if (folder.empty()) return false;
    size_t nameLength = lstrlenW(name);
    if (!path.Allocate((folder.size() + nameLength + 1) * sizeof(wchar_t))) return false;
    CopyMemory(path.As<wchar_t>(), folder.c_str(), folder.size() * sizeof(wchar_t));
    CopyMemory(path.As<wchar_t>() + folder.size(), name, (nameLength + 1) * sizeof(wchar_t));
    return true;
}

// The editor is asked with SendMessageTimeoutW: on its own thread (where
// the filter runs after a fault inside the control) that is a direct
// call, and from another thread it gives up instead of waiting on a GUI
// thread that no longer answers.
bool AskEditor(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    const UINT flags = SMTO_BLOCK | SMTO_ABORTIFHUNG;
    return SendMessageTimeoutW(edit, message, wParam, lParam, flags, 2000, &result) != 0;
}

bool EditorHasUnsavedText(HWND edit) {
    DWORD_PTR modified = 0;
    return IsModified || (AskEditor(edit, EM_GETMODIFY, 0, 0, modified) && modified);
}

// The text, its line breaks as CR LF, in UTF-8; 0 bytes when there is
// none or it cannot be read.
size_t ReadEditorUtf8(HWND edit, SystemBuffer& bytes) {
    GETTEXTLENGTHEX lengthQuery = {GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    DWORD_PTR length = 0;
    if (!AskEditor(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0, length)) return 0;
    // More than the control can hold, every break doubled: a broken answer.
    if (length == 0 || length > 2 * static_cast<DWORD_PTR>(EditorTextLimit)) return 0;
    // Room for every character doubled, should the two counts disagree.
    size_t units = 2 * length + 1;
    SystemBuffer wide;
    if (!wide.Allocate(units * sizeof(wchar_t))) return 0;
    GETTEXTEX textQuery = {static_cast<DWORD>(units * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr, nullptr};
    DWORD_PTR count = 0;
    if (!AskEditor(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textQuery),
                   reinterpret_cast<LPARAM>(wide.As<wchar_t>()), count) ||
        count == 0 || count >= units) {
        return 0;
    }
    int wideCount = static_cast<int>(count);
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.As<wchar_t>(), wideCount, nullptr, 0, nullptr, nullptr);
    if (size <= 0 || !bytes.Allocate(static_cast<size_t>(size))) return 0;
    return static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.As<wchar_t>(), wideCount,
                                                   bytes.As<char>(), size, nullptr, nullptr));
}

wchar_t* AppendText(wchar_t* at, const wchar_t* text) {
    while (*text) *at++ = *text++;
    return at;
}

wchar_t* AppendNumber(wchar_t* at, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) at[i] = static_cast<wchar_t>(L'0' + value % 10);
    return at + digits;
}

// "recovered-YYYYMMDD-HHMMSS.txt" in local time; from the second attempt
// on, "-2", "-3" and so on before ".txt" (instances ending in one second).
void ComposeCopyName(const SYSTEMTIME& time, unsigned attempt, wchar_t (&name)[CopyNameRoom]) {
    wchar_t* at = AppendText(name, CopyPrefix);
    at = AppendNumber(at, time.wYear, 4);
    at = AppendNumber(at, time.wMonth, 2);
    at = AppendNumber(at, time.wDay, 2);
    *at++ = L'-';
    at = AppendNumber(at, time.wHour, 2);
    at = AppendNumber(at, time.wMinute, 2);
    at = AppendNumber(at, time.wSecond, 2);
    if (attempt > 1) {
        *at++ = L'-';
        at = AppendNumber(at, attempt, attempt < 10 ? 1 : 2);
    }
    *AppendText(at, CopySuffix) = L'\0';
}

bool WriteAll(HANDLE file, const char* bytes, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// A new file that no other instance has taken; its name goes to `name`.
HANDLE CreateCopyFile(wchar_t (&name)[CopyNameRoom]) {
    SYSTEMTIME time;
    GetLocalTime(&time);
    for (unsigned attempt = 1; attempt < 100; ++attempt) {
        ComposeCopyName(time, attempt, name);
        SystemBuffer path;
        if (!JoinCopyPath(name, path)) return INVALID_HANDLE_VALUE;
        HANDLE file = CreateFileW(path.As<wchar_t>(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Appending whole lines lets instances that end together share the list.
bool AddToPendingList(const wchar_t* name) {
    SystemBuffer path;
    if (!JoinCopyPath(PendingListName, path)) return false;
    FileHandle list(CreateFileW(path.As<wchar_t>(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!list.IsValid()) return false;
    char line[CopyNameRoom + 2];
    size_t length = 0;
    while (name[length]) {
        line[length] = static_cast<char>(name[length]);
        ++length;
    }
    line[length++] = '\r';
    line[length++] = '\n';
    return WriteAll(list.Get(), line, length);
}

// Set by the first fault; a second one (inside the filter itself, or on
// another thread meanwhile) ends the process at once.
volatile LONG FilterEntered = 0;

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS*) {
    if (InterlockedExchange(&FilterEntered, 1) == 0) WriteEmergencyCopy();
    // The copy is reported by the next start; the system's own crash
    // handling (a debugger, an error report) would only keep the user
    // waiting for a process that cannot go on.
    return EXCEPTION_EXECUTE_HANDLER;
}

bool IsCopyName(const std::wstring& name) {
    const size_t prefix = lstrlenW(CopyPrefix), suffix = lstrlenW(CopySuffix);
    if (name.size() <= prefix + suffix || name.compare(0, prefix, CopyPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, CopySuffix) != 0) {
        return false;
    }
    for (wchar_t c : name) {
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || c == L'-' || c == L'.')) return false;
    }
    return true;
}

// The list's contents, or nothing when it cannot be read and removed:
// what is not removed would be reported again.
std::string TakePendingList() {
    SystemBuffer path;
    if (!JoinCopyPath(PendingListName, path)) return std::string();
    std::string bytes;
    {
        FileHandle list(CreateFileW(path.As<wchar_t>(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!list.IsValid()) return std::string();
        bytes.resize(PendingListLimit);
        DWORD read = 0;
        if (!ReadFile(list.Get(), bytes.data(), PendingListLimit, &read, nullptr)) return std::string();
        bytes.resize(read);
    }
    if (!DeleteFileW(path.As<wchar_t>())) return std::string();
    return bytes;
}

}  // namespace

void InstallCrashProtection() {
    CopyFolder();
    SetUnhandledExceptionFilter(OnUnhandledException);
}

bool WriteEmergencyCopy() {
    HWND edit = EditControl;
    if (!edit || !IsWindow(edit) || !EditorHasUnsavedText(edit)) return false;
    SystemBuffer bytes;
    size_t size = ReadEditorUtf8(edit, bytes);
    if (size == 0) return false;
    wchar_t name[CopyNameRoom];
    FileHandle copy(CreateCopyFile(name));
    if (!copy.IsValid()) return false;
    bool written = WriteAll(copy.Get(), bytes.As<char>(), size);
    // The process ends next, or the machine goes down.
    if (written) FlushFileBuffers(copy.Get());
    if (copy.Close() && written) return AddToPendingList(name);
    // Part of a text would pass for all of it.
    SystemBuffer path;
    if (JoinCopyPath(name, path)) DeleteFileW(path.As<wchar_t>());
    return false;
}

std::vector<std::wstring> TakeUnreportedEmergencyCopies() {
    std::vector<std::wstring> copies;
    std::string list = TakePendingList();
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::wstring name(list.begin() + start, list.begin() + end);
        if (!name.empty() && name.back() == L'\r') name.pop_back();
        std::wstring path = CopyFolder() + name;
        if (IsCopyName(name) && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            copies.push_back(path);
        start = end + 1;
    }
    return copies;
}

bool AskToOpenEmergencyCopy(const std::wstring& path) {
    std::wstring text =
        L"Tavilo was closed unexpectedly. Your unsaved text was saved to:\n" + path + L"\n\nOpen it now?";
    return MessageBoxW(MainWindow, text.c_str(), L"Warning", MB_ICONWARNING | MB_YESNO) == IDYES;
}
