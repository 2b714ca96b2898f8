// Driving another program's windows from outside.
#include "peer_process.h"

#include <psapi.h>

#include <vector>

#include "bench_support.h"

constexpr UINT AnswerTimeoutMs = 60000;

bool StartPeer(const std::wstring& commandLine, Peer& peer) {
    STARTUPINFOW startup = {sizeof(startup)};
    std::wstring writable = commandLine;
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &peer.process)) {
        return false;
    }
    WaitForInputIdle(peer.process.hProcess, AnswerTimeoutMs);
    return true;
}

void EndPeer(Peer& peer) {
    if (!peer.process.hProcess) return;
    TerminateProcess(peer.process.hProcess, 0);
    WaitForSingleObject(peer.process.hProcess, AnswerTimeoutMs);
    CloseHandle(peer.process.hThread);
    CloseHandle(peer.process.hProcess);
    peer = Peer();
}

struct WindowSearch {
    DWORD processId;
    HWND besides;
    bool dialog;
    HWND found;
};

static BOOL CALLBACK MatchTopWindow(HWND window, LPARAM lParam) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || window == search->besides || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    bool isDialog = lstrcmpW(className, L"#32770") == 0;
    if (isDialog != search->dialog) return TRUE;
    if (!isDialog && GetWindow(window, GW_OWNER)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindMainWindow(DWORD processId) {
    WindowSearch search = {processId, nullptr, false, nullptr};
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialog(DWORD processId, HWND top) {
    WindowSearch search = {processId, top, true, nullptr};
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

static std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindChild(HWND parent, const wchar_t* className, int index) {
    for (HWND child : Descendants(parent)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpiW(name, className) == 0 && index-- == 0) return child;
    }
    return nullptr;
}

// A rich edit editor has no EDIT children to confuse, but Tavilo may keep
// hidden ones (the text before a Replace All, for Undo): the one shown is
// the editor. An EDIT editor is the first one that is not inside a combo
// box (WordPad's toolbars hold some).
HWND FindEditor(HWND top) {
    for (const wchar_t* richEdit : {L"RICHEDIT50W", L"RichEdit20W", L"RichEdit20A"}) {
        for (int index = 0; HWND found = FindChild(top, richEdit, index); ++index) {
            if (IsWindowVisible(found)) return found;
        }
    }
    for (HWND child : Descendants(top)) {
        wchar_t name[64] = {}, parentName[64] = {};
        GetClassNameW(child, name, 64);
        GetClassNameW(GetParent(child), parentName, 64);
        if (lstrcmpiW(name, L"Edit") == 0 && lstrcmpiW(parentName, L"ComboBox") != 0) return child;
    }
    return nullptr;
}

HWND FindButton(HWND dialog, const wchar_t* text) {
    for (HWND child : Descendants(dialog)) {
        std::wstring label = WindowTitle(child);
        std::wstring plain;
        for (wchar_t c : label) {
            if (c != L'&') plain += c;
        }
        if (lstrcmpiW(plain.c_str(), text) == 0) return child;
    }
    return nullptr;
}

static bool HasUpdateRegion(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != 0; }

bool IsIdle(HWND top) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, AnswerTimeoutMs, &result)) return false;
    if (HasUpdateRegion(top)) return false;
    for (HWND child : Descendants(top)) {
        if (IsWindowVisible(child) && HasUpdateRegion(child)) return false;
    }
    return true;
}

bool WaitUntil(HWND top, const std::function<bool()>& done, double deadline) {
    while (!done()) {
        if (NowMs() > deadline) return false;
        Sleep(1);
    }
    while (!IsIdle(top)) {
        if (NowMs() > deadline) return false;
        Sleep(1);
    }
    return true;
}

std::wstring WindowTitle(HWND window) {
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    return title;
}

long TextLength(HWND editor) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(editor, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, AnswerTimeoutMs, &length))
        return -1;
    return static_cast<long>(length);
}

// EM_GETSEL's result packs 16-bit positions; the two out-arguments hold
// whole ones (Wine carries them across processes).
long CaretPosition(HWND editor) {
    DWORD start = 0, end = 0;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                             reinterpret_cast<LPARAM>(&end), SMTO_NORMAL, AnswerTimeoutMs, &result)) {
        return -1;
    }
    return static_cast<long>(end);
}

void SetControlText(HWND control, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        AnswerTimeoutMs, &result);
}

bool BringToFront(HWND top) {
    double deadline = NowMs() + 5000;
    while (GetForegroundWindow() != top) {
        SetForegroundWindow(top);
        if (NowMs() > deadline) return false;
        Sleep(5);
    }
    return true;
}

SIZE_T PeakMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return 0;
    return counters.PeakWorkingSetSize;
}
