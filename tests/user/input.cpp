// Key presses, typed text and mouse clicks through SendInput.
#include "input.h"

#include <vector>

namespace {

// Keys whose scan codes carry the extended prefix on a real keyboard.
bool IsExtendedKey(WORD key) {
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_RCONTROL:
    case VK_RMENU: return true;
    default: return false;
    }
}

INPUT KeyEvent(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT UnicodeEvent(wchar_t character, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

void Send(std::vector<INPUT>& events) {
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    // A keyboard cannot outrun the program; a short pause between strokes
    // keeps the queue in the order a person would fill it.
    Sleep(10);
}

// The key and Shift state that type the character, or false when the
// layout needs Ctrl or Alt for it, or has no key for it at all.
bool KeyForCharacter(wchar_t character, WORD& key, bool& shift) {
    SHORT scan = VkKeyScanW(character);
    if (scan == -1 || (HIBYTE(scan) & ~1)) return false;
    key = LOBYTE(scan);
    shift = HIBYTE(scan) & 1;
    return true;
}

bool CursorIsAt(POINT point) {
    POINT cursor;
    return GetCursorPos(&cursor) && cursor.x == point.x && cursor.y == point.y;
}

}  // namespace

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> events;
    for (WORD key : keys) events.push_back(KeyEvent(key, false));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) events.push_back(KeyEvent(*key, true));
    Send(events);
}

void Tap(WORD key, int times) {
    for (int i = 0; i < times; ++i) PressKeys({key});
}

void TypeText(const std::wstring& text) {
    for (wchar_t character : text) {
        WORD key = 0;
        bool shift = false;
        if (character == L'\n') {
            Tap(VK_RETURN);
        } else if (KeyForCharacter(character, key, shift)) {
            if (shift) {
                PressKeys({VK_SHIFT, key});
            } else {
                PressKeys({key});
            }
        } else {
            std::vector<INPUT> events = {UnicodeEvent(character, false), UnicodeEvent(character, true)};
            Send(events);
        }
    }
}

// Under Wine the X pointer can pull the cursor back to where it was (a
// window appearing under it reports a motion), so the move is repeated
// until the cursor stays put before the button goes down.
void ClickAt(POINT point) {
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = MulDiv(point.x, 65536, width) + 1;
    move.mi.dy = MulDiv(point.y, 65536, height) + 1;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::vector<INPUT> events = {move};
        Send(events);
        Sleep(40);
        if (CursorIsAt(point)) break;
    }
    INPUT down = {}, up = {};
    down.type = up.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    std::vector<INPUT> events = {down, up};
    Send(events);
}
