// The in-process application fixture and small readers of what a user sees.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include "app/app.h"

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

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring TaviloExePath() { return TestProgramFolder() + L"..\\..\\tavilo.exe"; }

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

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

void SendCommand(UINT id) {
    SendMessageW(MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
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
    if (HiddenEditControl && IsWindow(HiddenEditControl)) DestroyWindow(HiddenEditControl);
    PumpMessages();
}
