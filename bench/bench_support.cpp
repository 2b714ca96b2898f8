// The benchmarks' shared helpers.
#include "bench_support.h"

#include <richedit.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "app/app.h"

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

void PumpBenchMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void PumpUntilIdle() {
    for (int quiet = 0; quiet < 3;) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            quiet = 0;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            quiet++;
            Sleep(2);  // a 1 ms timer may still be due
        }
    }
}

void StartBenchEditor() {
    StartApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL, L"tavilo.exe");
    PumpBenchMessages();
}

void StopBenchEditor() {
    SetFocus(nullptr);  // skips a wait of Wine's in DestroyWindow
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    if (HiddenEditControl && IsWindow(HiddenEditControl)) DestroyWindow(HiddenEditControl);
    PumpBenchMessages();
}

void SetBenchEditorText(const std::wstring& text) {
    LRESULT mask = SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
    SendMessageW(EditControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(EditControl, WM_SETREDRAW, TRUE, 0);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
    SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);
    InvalidateRect(EditControl, nullptr, TRUE);
    PumpBenchMessages();
}

// A small fixed generator, so every run and every program sees the same text.
static unsigned NextRandom(unsigned& state) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7FFF;
}

std::string MakeAsciiLines(size_t bytes, unsigned seed) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz ";
    std::string text;
    text.reserve(bytes + 100);
    while (text.size() < bytes) {
        int length = 40 + NextRandom(seed) % 41;
        for (int i = 0; i < length; ++i) text += letters[NextRandom(seed) % 27];
        text += "\r\n";
    }
    text.resize(bytes);
    return text;
}

std::string MakeLogLines(size_t bytes, unsigned seed) {
    static const char mix[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEF:/.-_=[](),;";
    std::string text;
    text.reserve(bytes + 200);
    int line = 0;
    while (text.size() < bytes) {
        char prefix[64];
        wsprintfA(prefix, "2026-12-07 12:%02d:%02d.%03d [%5d] ", line / 60 % 60, line % 60, line % 1000,
                  line);
        text += prefix;
        int length = 70 + NextRandom(seed) % 8;
        for (int i = 0; i < length; ++i) text += mix[NextRandom(seed) % (sizeof(mix) - 1)];
        text += "\r\n";
        ++line;
    }
    text.resize(bytes);
    return text;
}

std::string MakeLongLines(size_t bytes, int lineCount, unsigned seed) {
    std::string text = MakeAsciiLines(bytes, seed);
    // Keep only lineCount - 1 line breaks, evenly spread; the rest become blanks.
    size_t step = bytes / lineCount;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n' && (i / step) == ((i + 2) / step)) {
            text[i] = ' ';
            text[i + 1] = ' ';
        }
    }
    return text;
}

const char ReplaceToken[] = "7Q7";

std::string MakeReplaceDocument(size_t bytes, int matches, unsigned seed) {
    std::string text = MakeAsciiLines(bytes, seed);
    size_t step = bytes / matches;
    for (int i = 0; i < matches; ++i) {
        size_t at = i * step;
        // A token never straddles a line break.
        while (text.find_first_of("\r\n", at) < at + 3) ++at;
        text.replace(at, 3, ReplaceToken);
    }
    return text;
}

std::string MakeNeedleDocument(size_t bytes, int matches) {
    std::string text = MakeAsciiLines(bytes);
    static const char* const spellings[] = {"needle", "Needle", "NEEDLE"};
    size_t step = text.size() / matches;
    for (int i = 0; i < matches; ++i) {
        size_t at = i * step;
        while (text.find_first_of("\r\n", at) < at + 6) ++at;
        text.replace(at, 6, spellings[i % 3]);
    }
    return text;
}

bool WriteBytesTo(const std::wstring& path, const std::string& bytes) {
    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(handle);
    return ok;
}

std::wstring WriteBenchFile(const std::wstring& name, const std::string& bytes) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + name;
    HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    return file;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

static INPUT KeyInput(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    bool extended = key == VK_END || key == VK_HOME || key == VK_PRIOR || key == VK_NEXT;
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(KeyInput(key, false));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(KeyInput(*key, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeCharacter(wchar_t character) {
    INPUT inputs[2] = {};
    for (int i = 0; i < 2; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wScan = character;
        inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, inputs, sizeof(INPUT));
}
