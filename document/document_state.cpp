// The document's identity (path and name), the window title and the
// modified state that follows the edit control's modify flag.
#include "document/document.h"

#include <richedit.h>

#include "app/app_values.h"

std::wstring DocumentPath;
std::wstring DocumentName = L"New Document";
bool IsModified = false;

// A relative path (from the command line) is made full now: the open
// dialog changes the current folder, and a later save must still reach
// the file that was loaded.
static std::wstring FullPathOf(const wchar_t* path) {
    DWORD length = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path, length, full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return full;
}

void SetDocumentPath(const wchar_t* path) {
    if (!path || !*path) {
        DocumentPath.clear();
        DocumentName = L"New Document";
        return;
    }
    DocumentPath = FullPathOf(path);
    size_t backslash = DocumentPath.find_last_of(L'\\');
    DocumentName = backslash == std::wstring::npos ? DocumentPath : DocumentPath.substr(backslash + 1);
}

// The title must fit 255 characters. A longer name is cut and ends in an
// ellipsis, so that the unsaved marker always stays visible; a surrogate
// pair is never split.
std::wstring ComposeWindowTitle(const std::wstring& name, bool modified) {
    const std::wstring prefix = L"Tavilo - ";
    const std::wstring marker = modified ? L" *(unsaved)" : L"";
    const size_t limit = 255;
    size_t room = limit - prefix.size() - marker.size();
    if (name.size() <= room) return prefix + name + marker;
    size_t keep = room - 1;
    if (IS_HIGH_SURROGATE(name[keep - 1])) --keep;
    return prefix + name.substr(0, keep) + L"\u2026" + marker;
}

void UpdateWindowTitle() { SetWindowTextW(MainWindow, ComposeWindowTitle(DocumentName, IsModified).c_str()); }

void ClearModified() {
    IsModified = false;
    SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);
    MarkKeptEditorsModified();
    UpdateWindowTitle();
}

// A burst of changes posts one message, so the flag is read and the title
// rewritten once, after the control has handled the burst. (A timer would
// do the same no sooner than 10 ms later: Windows' shortest timer.)
static bool ModifiedSyncPosted = false;

void ScheduleModifiedSync() {
    if (!ModifiedSyncPosted) ModifiedSyncPosted = PostMessageW(MainWindow, WM_SYNCMODIFIED, 0, 0);
}

void OnEditorChange() {
    NoteEditorEdited();
    ScheduleModifiedSync();
}

void SyncModifiedState() {
    ModifiedSyncPosted = false;
    bool modified = SendMessageW(EditControl, EM_GETMODIFY, 0, 0) != 0;
    if (modified == IsModified) return;
    IsModified = modified;
    UpdateWindowTitle();
}
