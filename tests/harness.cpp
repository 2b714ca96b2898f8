// The in-process application fixture and small readers of what a user sees.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;  // the window is gone; nothing left to run
        if (!MainWindow || !TranslateAcceleratorW(MainWindow, nullptr, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return condition();
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

static void* WineExport(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name));
}

std::string UnixPath(const std::wstring& windowsPath) {
    auto convert = reinterpret_cast<char*(CDECL*)(const wchar_t*)>(WineExport("wine_get_unix_file_name"));
    char* name = convert ? convert(windowsPath.c_str()) : nullptr;
    if (!name) return "";
    std::string path = name;
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

std::wstring DosPath(const std::string& unixPath) {
    auto convert = reinterpret_cast<wchar_t*(CDECL*)(const char*)>(WineExport("wine_get_dos_file_name"));
    wchar_t* name = convert ? convert(unixPath.c_str()) : nullptr;
    if (!name) return L"";
    std::wstring path = name;
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

std::wstring TaviloExePath() { return TestProgramFolder() + L"..\\..\\tavilo.exe"; }

void ScribbleOver(HWND window, COLORREF colour) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), length + 1));
    return text;
}

std::wstring EditorText() {
    int length = static_cast<int>(SendMessageW(EditControl, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(SendMessageW(EditControl, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    return text;
}

void SetEditorText(const std::wstring& text) {
    SendMessageW(EditControl, EM_SETSEL, 0, -1);
    SendMessageW(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    PumpMessages();
}

void LoadText(const std::wstring& text) {
    ReplaceEditorText(EditControl, text.c_str());
    PumpMessages();
}

std::wstring StatusPartText(int part) {
    LRESULT info = SendMessageW(StatusBar, SB_GETTEXTLENGTHW, part, 0);
    std::wstring text(LOWORD(info) + 1, L'\0');
    SendMessageW(StatusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    return text;
}

std::wstring Widen(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string narrow(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                        nullptr, nullptr);
    return narrow;
}

static std::wstring ScratchFolder() { return TestProgramFolder() + L"scratch\\"; }

std::wstring ScratchPath(const std::wstring& name) { return ScratchFolder() + name; }

std::wstring WriteScratch(const std::wstring& name, const std::string& bytes) {
    std::wstring path = ScratchPath(name);
    WriteBytes(path, bytes);
    return path;
}

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const std::wstring& path : paths) chars += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* list = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths) {
        memcpy(list, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        list += path.size() + 1;
    }
    *list = 0;
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::ostream& operator<<(std::ostream& out, const Range& range) {
    return out << "(" << range.start << ", " << range.end << ")";
}

Range Selection() {
    CHARRANGE selection = {};
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return {selection.cpMin, selection.cpMax};
}

void Select(LONG start, LONG end) {
    CHARRANGE selection = {start, end};
    SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

void Type(const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(EditControl, WM_CHAR, c, 1);
    PumpMessages();
}

void TypeAndSync(const std::wstring& text) {
    Type(text);
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
}

void Drop(const std::vector<std::wstring>& paths) {
    SendMessageW(EditControl, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    PumpMessages();
}

void SendCommand(UINT id) {
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpMessages();
}

void InEveryView(const std::function<void(const std::string& view)>& check) {
    check("as started");
    SendCommand(IDM_SIZE_FIRST);
    check("smallest font size");
    SendCommand(IDM_FONT_FIRST + 1);
    check("another font");
    RECT window;
    GetWindowRect(MainWindow, &window);
    SetWindowPos(MainWindow, nullptr, 0, 0, 437, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    check("a narrow window");
    SendCommand(IDM_ZOOM_150);
    check("zoom 150");
    SendCommand(IDM_ZOOM_100);
    check("zoom 150, then 100");
}

void PressCtrlKey(WPARAM key) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    SendMessageW(EditControl, WM_KEYDOWN, key, 1);
    if (key >= 'A' && key <= 'Z') SendMessageW(EditControl, WM_CHAR, key - 'A' + 1, 1);
    SendMessageW(EditControl, WM_KEYUP, key, 0xC0000001);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
    PumpMessages();
}

void PressShiftEnter() {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    SendMessageW(EditControl, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(EditControl, WM_CHAR, L'\r', 1);
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
    PumpMessages();
}

void AppFixture::SetUp() {
    RemoveTree(ScratchFolder());
    CreateDirectoryW(ScratchFolder().c_str(), nullptr);
    if (!keepSettings) DeleteFileW((TestProgramFolder() + L"settings.ini").c_str());
}

void AppFixture::TearDown() {
    StopApp();
    RemoveTree(ScratchFolder());
}

void AppFixture::StartApp(const std::wstring& commandLine) {
    std::wstring line = commandLine.empty() ? L"\"" + TaviloExePath() + L"\"" : commandLine;
    accelerators = StartApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL, line.c_str());
    ASSERT_TRUE(MainWindow != nullptr);
    PumpMessages();
}

void AppFixture::StopApp() {
    // Wine spends about two seconds in DestroyWindow when a window shown
    // moments ago goes with the focused editor inside it; taking the focus
    // away first skips that wait and changes nothing a test looks at.
    SetFocus(nullptr);
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    PumpMessages();
    EndApplication();
}
