// A start-up check of a built tavilo.exe, for a build the test suite does
// not run (scripts/smoke-clang.sh): starts the program, waits until its
// main window ("TaviloClass") is shown with the editor in it, closes it
// the way the close box does and waits for the program to end. Exit code
// 0 when all of that happened; otherwise it says what did not, ends the
// program and returns 1.
//
//   start_check.exe FOLDER\tavilo.exe
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const DWORD StartTimeoutMs = 60000;  // Wine's first start in a new prefix is slow
const DWORD ExitTimeoutMs = 20000;

// Class names compare without regard to case, as Windows looks them up
// (Wine registers the rich edit class as "RichEdit50W").
bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return _wcsicmp(name, className) == 0;
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || !HasClass(window, L"TaviloClass"))
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindEditor(HWND child, LPARAM lParam) {
    if (!HasClass(child, L"RICHEDIT50W") || !IsWindowVisible(child)) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = child;
    return FALSE;
}

// The program's main window once it is shown with a visible editor inside.
HWND ShownMainWindow(DWORD process) {
    WindowSearch search = {process, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return nullptr;
    HWND editor = nullptr;
    EnumChildWindows(search.found, FindEditor, reinterpret_cast<LPARAM>(&editor));
    return editor ? search.found : nullptr;
}

// Polls until the main window is shown, the program ends or time is up.
HWND WaitForMainWindow(const PROCESS_INFORMATION& program) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < StartTimeoutMs) {
        if (HWND window = ShownMainWindow(program.dwProcessId)) return window;
        if (WaitForSingleObject(program.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

int Fail(const PROCESS_INFORMATION& program, const char* what) {
    std::printf("start check: FAILED: %s\n", what);
    TerminateProcess(program.hProcess, 1);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::printf("usage: start_check.exe FOLDER\\tavilo.exe\n");
        return 2;
    }
    std::wstring exe = argv[1];
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION program = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &program)) {
        std::printf("start check: FAILED: the program did not start (error %lu)\n", GetLastError());
        return 1;
    }
    int result = 0;
    HWND window = WaitForMainWindow(program);
    if (!window) {
        result = Fail(program, "no visible TaviloClass window with an editor came up");
    } else {
        wchar_t title[256] = L"";
        GetWindowTextW(window, title, 256);
        std::printf("start check: main window shown: \"%ls\"\n", title);
        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 1;
        if (WaitForSingleObject(program.hProcess, ExitTimeoutMs) != WAIT_OBJECT_0) {
            result = Fail(program, "the program did not end after WM_CLOSE");
        } else if (GetExitCodeProcess(program.hProcess, &exitCode) && exitCode != 0) {
            std::printf("start check: FAILED: the program ended with exit code %lu\n", exitCode);
            result = 1;
        } else {
            std::printf("start check: closed; the program ended with exit code 0\n");
        }
    }
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
    return result;
}
