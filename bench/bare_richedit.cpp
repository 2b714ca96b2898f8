// The floor of the peer benchmark: a window holding nothing but a
// RICHEDIT50W control, of the editor's size, style and font, that loads
// the file named on its command line the fast way: one WM_SETTEXT with
// redraw, notifications and undo off. "bare_richedit.exe [-wrap] file".
#include <windows.h>
#include <richedit.h>
#include <shellapi.h>

#include <string>

#include "app/app.h"
#include "view/view.h"

static HWND BareEdit = nullptr;

static LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: MoveWindow(BareEdit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
    case WM_SETFOCUS: SetFocus(BareEdit); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

static std::wstring ReadUtf8File(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return L"";
    DWORD size = GetFileSize(file, nullptr);
    std::string bytes(size, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), size, &read, nullptr);
    CloseHandle(file);
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(), length);
    return text;
}

static void LoadBareFile(HWND window, const wchar_t* path) {
    std::wstring text = ReadUtf8File(path);
    SendMessageW(BareEdit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(BareEdit, EM_SETEVENTMASK, 0, 0);
    // Wine records an undo step per line of the new text, and trimming its
    // history to the limit makes that quadratic.
    SendMessageW(BareEdit, EM_SETUNDOLIMIT, 0, 0);
    SendMessageW(BareEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(BareEdit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(BareEdit, EM_SETUNDOLIMIT, 100, 0);
    SendMessageW(BareEdit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(BareEdit, nullptr, TRUE);
    const wchar_t* name = wcsrchr(path, L'\\');
    SetWindowTextW(window, (std::wstring(L"bare - ") + (name ? name + 1 : path)).c_str());
}

// The editor's default face and size at this window's DPI.
static void SetEditorFont(HWND window) {
    int height = -MulDiv(FontSize, GetDpiForWindow(window), 96);
    HFONT font =
        CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH, FontTable[FontIndex]);
    SendMessageW(BareEdit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool wrap = count >= 2 && lstrcmpW(arguments[1], L"-wrap") == 0;
    const wchar_t* path = count >= (wrap ? 3 : 2) ? arguments[wrap ? 2 : 1] : nullptr;

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"BareRichEditClass";
    RegisterClassW(&windowClass);
    WindowPlacement place =
        ComputeWindowPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW, place.x,
                                  place.y, place.width, place.height, nullptr, nullptr, instance, nullptr);
    LoadLibraryW(L"Msftedit.dll");
    BareEdit = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                   ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                               0, 0, 0, 0, window, nullptr, instance, nullptr);
    SendMessageW(BareEdit, EM_EXLIMITTEXT, 0, EditorTextLimit);
    SendMessageW(BareEdit, EM_SETTARGETDEVICE, 0, wrap ? 0 : 1);
    SetEditorFont(window);
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(BareEdit, 0, 0, client.right, client.bottom, FALSE);
    if (path) LoadBareFile(window, path);
    LocalFree(arguments);
    ShowWindow(window, SW_SHOWNORMAL);
    SetFocus(BareEdit);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
