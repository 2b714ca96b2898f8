// The frame window's children, layout, DPI changes, Edit commands and end.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

// Class names compare without case, as the system does ("RichEdit50W").
std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    CharUpperW(name);
    return name;
}

RECT RectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

using Frame = AppFixture;

TEST_F(Frame, StartsWithTheNewDocumentTitle) {
    StartApp();
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_EQ(ClassName(MainWindow), L"TAVILOCLASS");
    EXPECT_EQ(GetWindowLongW(MainWindow, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(GetFocus(), EditControl);
    EXPECT_TRUE(SendMessageW(MainWindow, WM_GETICON, ICON_BIG, 0) != 0);
    EXPECT_EQ(SendMessageW(MainWindow, WM_GETICON, ICON_BIG, 0),
              SendMessageW(MainWindow, WM_GETICON, ICON_SMALL, 0));
}

TEST_F(Frame, ChildrenCarryTheirClassesStylesAndIds) {
    StartApp();
    EXPECT_EQ(ClassName(GutterWindow), L"GUTTERCLASS");
    EXPECT_EQ(GetParent(GutterWindow), MainWindow);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(GutterWindow, GWL_STYLE)) & 0xFFFF0000u, 0x56000000u);

    EXPECT_EQ(ClassName(EditControl), L"RICHEDIT50W");
    EXPECT_EQ(GetParent(EditControl), MainWindow);
    EXPECT_EQ(GetDlgCtrlID(EditControl), 1300);
    DWORD editStyle = GetWindowLongW(EditControl, GWL_STYLE);
    // The scroll-bar bits come and go as the control shows or hides its bars.
    const DWORD scrollBars = WS_HSCROLL | WS_VSCROLL;
    EXPECT_EQ(editStyle & ~scrollBars, 0x503001C4u & ~scrollBars);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETEVENTMASK, 0, 0), 0x000B0001);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETLIMITTEXT, 0, 0), 0xA00000);
    EXPECT_TRUE(GetWindowLongW(EditControl, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    EXPECT_EQ(ClassName(HiddenEditControl), L"RICHEDIT50W");
    EXPECT_EQ(GetParent(HiddenEditControl), nullptr);
    EXPECT_EQ(GetWindow(HiddenEditControl, GW_OWNER), nullptr);
    EXPECT_FALSE(IsWindowVisible(HiddenEditControl));
    EXPECT_TRUE(GetWindowLongW(HiddenEditControl, GWL_STYLE) & ES_READONLY);

    EXPECT_EQ(ClassName(StatusBar), L"MSCTLS_STATUSBAR32");
    EXPECT_EQ(GetParent(StatusBar), MainWindow);
    EXPECT_TRUE(GetWindowLongW(StatusBar, GWL_STYLE) & SBARS_SIZEGRIP);
    EXPECT_EQ(SendMessageW(StatusBar, SB_GETPARTS, 0, 0), 5);
}

TEST_F(Frame, LayoutTilesGutterEditorAndStatusBar) {
    StartApp();
    // Give the frame a 1000 x 700 client area and a 40-pixel gutter.
    RECT window = {0, 0, 1000, 700};
    AdjustWindowRectEx(&window, WS_OVERLAPPEDWINDOW, TRUE, 0);
    SetWindowPos(MainWindow, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(MainWindow, &client);
    ASSERT_EQ(client.right, 1000);
    ASSERT_EQ(client.bottom, 700);
    GutterWidth = 40;
    LayoutMainWindow(MainWindow);

    RECT status = RectInParent(StatusBar);
    int s = status.bottom - status.top;
    EXPECT_GT(s, 0);
    EXPECT_EQ(status.left, 0);
    EXPECT_EQ(status.top, 700 - s);
    EXPECT_EQ(status.right, 1000);
    RECT gutter = RectInParent(GutterWindow);
    EXPECT_EQ(gutter.left, 0);
    EXPECT_EQ(gutter.top, 0);
    EXPECT_EQ(gutter.right, 40);
    EXPECT_EQ(gutter.bottom, 700 - s);
    RECT edit = RectInParent(EditControl);
    EXPECT_EQ(edit.left, 40);
    EXPECT_EQ(edit.top, 0);
    EXPECT_EQ(edit.right, 1000);
    EXPECT_EQ(edit.bottom, 700 - s);

    RECT editClient, format;
    GetClientRect(EditControl, &editClient);
    SendMessageW(EditControl, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.left, editClient.left + 3);
    EXPECT_EQ(format.top, editClient.top + 3);
}

TEST_F(Frame, WrapHidesTheHorizontalScrollBar) {
    StartApp();
    SetEditorText(std::wstring(3000, L'x'));
    SendCommand(IDM_OPTIONS_AUTOWRAP);
    ASSERT_TRUE(Autowrap);
    LayoutMainWindow(MainWindow);
    EXPECT_FALSE(GetWindowLongW(EditControl, GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(GetMenuState(GetMenu(MainWindow), IDM_OPTIONS_AUTOWRAP, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(Frame, DpiChangeScalesAndKeepsTheModifiedState) {
    StartApp();
    RECT before;
    GetWindowRect(MainWindow, &before);
    RECT suggested = {0, 0, 100, 100};
    SendMessageW(MainWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
    EXPECT_FLOAT_EQ(DpiScale, 1.5f);

    NONCLIENTMETRICSW metrics = {sizeof(metrics)};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(StatusBar, WM_GETFONT, 0, 0));
    ASSERT_TRUE(font != nullptr);
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof(logFont), &logFont);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(abs(metrics.lfMenuFont.lfHeight), 144, 96));

    RECT after;
    GetWindowRect(MainWindow, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);  // suggestion not applied
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), 0);
}

TEST_F(Frame, EditCommandsWorkThroughTheMenu) {
    StartApp();
    SendCommand(IDM_EDIT_REDO);  // nothing to redo right after start-up
    EXPECT_EQ(EditorText(), L"");

    Type(L"hello");
    EXPECT_EQ(EditorText(), L"hello");
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"");
    SendCommand(IDM_EDIT_REDO);
    EXPECT_EQ(EditorText(), L"hello");

    SendMessageW(EditControl, EM_SETSEL, 0, 2);
    SendCommand(IDM_EDIT_CUT);
    EXPECT_EQ(EditorText(), L"llo");
    SendMessageW(EditControl, EM_SETSEL, 3, 3);
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"llohe");
    SendMessageW(EditControl, EM_SETSEL, 0, 3);
    SendCommand(IDM_EDIT_COPY);
    SendMessageW(EditControl, EM_SETSEL, 0, 0);
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"llollohe");

    SendCommand(4242);  // unknown ids are ignored
    EXPECT_EQ(EditorText(), L"llollohe");
    EXPECT_TRUE(IsWindow(MainWindow));
}

// The keys of a burst reach the title once the editor has handled them,
// with one look at the control's modify flag.
TEST_F(Frame, TypingMarksTheTitleOnceTheBurstIsHandled) {
    StartApp();
    PumpMessages();
    MessageCounter counter(EditControl);
    for (wchar_t c : std::wstring(L"abc")) SendMessageW(EditControl, WM_CHAR, c, 1);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
    EXPECT_EQ(counter[EM_GETMODIFY], 1);
}

TEST_F(Frame, ChangeNotificationIsReadFromTheLow32BitsOfWParam) {
    StartApp();
    SendMessageW(EditControl, EM_SETMODIFY, TRUE, 0);
    // Upper bits set above the low 32: still EN_CHANGE from the editor.
    WPARAM wParam = (static_cast<WPARAM>(0x12345678) << 32) | 0x03000514;
    SendMessageW(MainWindow, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(EditControl));
    EXPECT_TRUE(PumpUntil([] { return IsModified; }));
}

TEST(Process, ClosingTheWindowEndsWithExitCodeZero) {
    std::wstring exe = TaviloExePath();
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << Narrow(exe);
    WaitForInputIdle(process.hProcess, 10000);
    HWND window = nullptr;
    PumpUntil(
        [&] {
            window = FindWindowW(L"TaviloClass", nullptr);
            DWORD owner = 0;
            if (window) GetWindowThreadProcessId(window, &owner);
            return window && owner == process.dwProcessId;
        },
        10000);
    ASSERT_TRUE(window != nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
