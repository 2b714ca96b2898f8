// Starting tavilo.exe, finding its windows and reading what they show.
#include "session.h"

#include <commctrl.h>
#include <richedit.h>

#include "input.h"

namespace {

constexpr UINT ReadTimeoutMs = 3000;

// Messages to the program's windows wait at most this long, so a hung
// program fails a test instead of stopping the run.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, ReadTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// WM_GETTEXT is one of the messages the system carries between processes.
std::wstring TextOf(HWND window) {
    int length = static_cast<int>(Ask(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(Ask(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    return text;
}

std::wstring WithoutAmpersands(std::wstring label) {
    for (size_t at = label.find(L'&'); at != std::wstring::npos; at = label.find(L'&', at + 1)) {
        label.erase(at, 1);
    }
    return label;
}

struct WindowSearch {
    DWORD processId;
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<WindowSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == wanted->processId && IsWindowVisible(window) && ClassOf(window) == wanted->className) {
        wanted->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId, const std::wstring& className) {
    WindowSearch search{processId, className, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM buttons) {
    if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
        reinterpret_cast<std::vector<HWND>*>(buttons)->push_back(child);
    }
    return TRUE;
}

std::vector<HWND> ButtonsOf(HWND dialog) {
    std::vector<HWND> buttons;
    EnumChildWindows(dialog, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    return buttons;
}

ShownDialog ReadDialog(HWND window) {
    ShownDialog dialog;
    dialog.window = window;
    dialog.caption = TextOf(window);
    if (HWND message = GetDlgItem(window, 0xFFFF)) dialog.text = TextOf(message);
    for (HWND button : ButtonsOf(window)) dialog.buttons.push_back(WithoutAmpersands(TextOf(button)));
    return dialog;
}

// Memory inside the program for the replies of messages that write
// through a pointer (the status bar's SB_GETTEXTW): the system carries
// only the standard messages' buffers between processes.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size) : process_(process), size_(size) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Read(void* into) const {
        SIZE_T read = 0;
        return address_ && ReadProcessMemory(process_, address_, into, size_, &read) && read == size_;
    }

private:
    HANDLE process_;
    size_t size_;
    void* address_ = nullptr;
};

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return condition();
        Sleep(20);
    }
    return true;
}

bool ClickButton(const ShownDialog& dialog, const std::wstring& label) {
    for (HWND button : ButtonsOf(dialog.window)) {
        if (WithoutAmpersands(TextOf(button)) != label) continue;
        RECT rect;
        GetWindowRect(button, &rect);
        ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        return true;
    }
    return false;
}

bool TaviloSession::Start(const std::wstring& folder, const std::wstring& arguments) {
    if (!Launch(folder, arguments)) return false;
    // A program started by another takes the foreground when it shows its
    // window; if something else holds it, bring the window forward as a
    // click on it would.
    if (GetForegroundWindow() != window_) SetForegroundWindow(window_);
    return WaitForMainWindowInFront();
}

bool TaviloSession::Launch(const std::wstring& folder, const std::wstring& arguments) {
    Kill();
    std::wstring executable = folder + L"tavilo.exe";
    std::wstring commandLine = L"\"" + executable + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {sizeof(startup)};
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process_)) {
        return false;
    }
    return WaitUntil([this] { return (window_ = FindMainWindow()) != nullptr; });
}

bool TaviloSession::IsRunning() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool TaviloSession::WaitForExit(DWORD timeoutMs) {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD TaviloSession::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess) GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool TaviloSession::InjectFault() {
    auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(1));
    HANDLE thread = CreateRemoteThread(process_.hProcess, nullptr, 0, nowhere, nullptr, 0, nullptr);
    if (!thread) return false;
    CloseHandle(thread);
    return true;
}

void TaviloSession::Kill() {
    if (!process_.hProcess) return;
    if (IsRunning()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
    window_ = nullptr;
}

HWND TaviloSession::FindMainWindow() const {
    std::vector<HWND> windows = VisibleWindowsOf(process_.dwProcessId, L"TaviloClass");
    return windows.empty() ? nullptr : windows.front();
}

HWND TaviloSession::Editor() const { return FindWindowExW(window_, nullptr, L"RICHEDIT50W", nullptr); }

std::wstring TaviloSession::Title() const { return TextOf(window_); }

std::wstring TaviloSession::EditorText() const { return TextOf(Editor()); }

std::pair<int, int> TaviloSession::Selection() const {
    // With no pointers the reply carries both ends, for documents below 64 K characters.
    LRESULT range = Ask(Editor(), EM_GETSEL, 0, 0);
    return {LOWORD(range), HIWORD(range)};
}

int TaviloSession::CaretLine() const {
    return static_cast<int>(Ask(Editor(), EM_EXLINEFROMCHAR, 0, Selection().first)) + 1;
}

std::wstring TaviloSession::StatusPart(int part) const {
    HWND bar = FindWindowExW(window_, nullptr, STATUSCLASSNAMEW, nullptr);
    size_t length = LOWORD(Ask(bar, SB_GETTEXTLENGTHW, part, 0));
    RemoteBuffer reply(process_.hProcess, (length + 1) * sizeof(wchar_t));
    Ask(bar, SB_GETTEXTW, part, reply.Address());
    std::wstring text(length + 1, L'\0');
    if (!reply.Read(text.data())) return L"(status bar unreadable)";
    text.resize(length);
    return text;
}

RECT TaviloSession::EditorArea() const {
    HWND editor = Editor();
    RECT area = {};
    GetClientRect(editor, &area);
    MapWindowPoints(editor, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

static RECT WindowArea(HWND window) {
    RECT area = {};
    GetWindowRect(window, &area);
    return area;
}

RECT TaviloSession::MainWindowArea() const { return WindowArea(window_); }

RECT TaviloSession::EditorWindowArea() const { return WindowArea(Editor()); }

RECT TaviloSession::GutterArea() const {
    return WindowArea(FindWindowExW(window_, nullptr, L"GutterClass", nullptr));
}

RECT TaviloSession::StatusBarArea() const {
    return WindowArea(FindWindowExW(window_, nullptr, STATUSCLASSNAMEW, nullptr));
}

RECT TaviloSession::StatusPartArea(int part) const {
    HWND bar = FindWindowExW(window_, nullptr, STATUSCLASSNAMEW, nullptr);
    RemoteBuffer reply(process_.hProcess, sizeof(RECT));
    RECT area = {};
    if (!Ask(bar, SB_GETRECT, part, reply.Address()) || !reply.Read(&area)) return {};
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

bool TaviloSession::IsBusy() const {
    DWORD_PTR result = 0;
    return !SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result);
}

void TaviloSession::ResizeTo(int width, int height) const {
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT TaviloSession::EditorBackgroundPoint() const {
    RECT area = EditorArea();
    return {area.right - 20, area.bottom - 20};
}

std::vector<ShownDialog> TaviloSession::Dialogs() const {
    std::vector<ShownDialog> dialogs;
    for (HWND window : VisibleWindowsOf(process_.dwProcessId, L"#32770"))
        dialogs.push_back(ReadDialog(window));
    return dialogs;
}

HWND TaviloSession::KeyboardFocus() const {
    GUITHREADINFO info = {sizeof(info)};
    if (!window_ || !GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// A window has the keyboard when it is in the foreground and the focus is
// inside it: keys pressed a moment earlier, while a closing box still held
// the focus, would go nowhere.
static bool HasKeyboard(HWND window, HWND focus) {
    return window && GetForegroundWindow() == window && focus && (focus == window || IsChild(window, focus));
}

// Wine's X11 driver brings its modifier keys in line with the X server's a
// moment after the active window changes; a Ctrl pressed before then can be
// let go again (seen once: Ctrl+G, just after the Replace box closed, typed
// a 'g'). Waits for the keyboard also wait that moment out.
static bool SettledAfter(bool hasKeyboard) {
    if (hasKeyboard) Sleep(100);
    return hasKeyboard;
}

ShownDialog TaviloSession::WaitForDialog(const std::wstring& caption, DWORD timeoutMs) const {
    ShownDialog shown;
    bool found = WaitUntil(
        [&] {
            for (const ShownDialog& dialog : Dialogs()) {
                if (dialog.caption == caption && HasKeyboard(dialog.window, KeyboardFocus())) {
                    shown = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    SettledAfter(found);
    return shown;
}

bool TaviloSession::WaitForMainWindowInFront(DWORD timeoutMs) const {
    return SettledAfter(WaitUntil([this] { return HasKeyboard(window_, KeyboardFocus()); }, timeoutMs));
}
