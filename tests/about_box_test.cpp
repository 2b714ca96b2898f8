// The About box: its template, link, colours, keys and font lifetime, run
// from the Help menu's command as a user opens it.
#include "harness.h"

#include "app/app.h"
#include "dialog_watcher.h"
#include "help/help.h"
#include "resources/resource.h"

namespace {

std::vector<std::wstring> Opened;

void RecordOpen(const wchar_t* address) { Opened.push_back(address); }

// Replaces the browser step for the life of a test.
struct BrowserCapture {
    BrowserCapture() {
        Opened.clear();
        OpenWebPageW = RecordOpen;
    }
    ~BrowserCapture() { OpenWebPageW = before; }
    void (*before)(const wchar_t*) = OpenWebPageW;
};

HWND OpenAboutBox = nullptr;
bool AboutBoxForced = false;

void CALLBACK EndStuckAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!OpenAboutBox || !IsWindow(OpenAboutBox)) return;
    AboutBoxForced = true;
    EndDialog(OpenAboutBox, 0);
}

// Opens the About box through command 201 and hands it to `look` once it
// shows. Returns whether the box had to be closed by force because it was
// still open five seconds later.
bool RunAboutBox(const std::function<void(HWND)>& look) {
    OpenAboutBox = nullptr;
    AboutBoxForced = false;
    UINT_PTR deadline = 0;
    DialogWatcher watcher([&](const DialogInfo& info) {
        OpenAboutBox = info.window;
        deadline = SetTimer(nullptr, 0, 5000, EndStuckAboutBox);
        look(info.window);
    });
    SendCommand(IDM_HELP_ABOUT);
    if (deadline) KillTimer(nullptr, deadline);
    EXPECT_EQ(watcher.Seen().size(), 1u) << "the About box did not show";
    return AboutBoxForced;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

LOGFONTW FontOf(HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

}  // namespace

using AboutBox = AppFixture;

TEST_F(AboutBox, ShowsItsTextsAndIcon) {
    StartApp();
    RunAboutBox([](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"About Tavilo");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_NAME), L"Tavilo");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_VERSION), L"Version 1.8.3");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_DESCRIPTION), L"A lightweight Win32 text editor.");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_NOTICE), L"Free to use and to share, without any warranty.");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_LINK), VendorHomePage);
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_EMAIL), L"Email: support@tavilo-editor.example");
        EXPECT_EQ(ItemText(dialog, IDOK), L"OK");
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ABOUT));
        ASSERT_TRUE(icon != nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0)),
                  icon);
        PressButton(dialog, IDOK);
    });
}

TEST_F(AboutBox, FollowsItsTemplate) {
    StartApp();
    RunAboutBox([](HWND dialog) {
        DWORD style = GetWindowLongW(dialog, GWL_STYLE);
        DWORD expected = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        EXPECT_EQ(style & expected, expected);
        EXPECT_EQ(GetParent(dialog), MainWindow);
        RECT client;
        GetClientRect(dialog, &client);
        RECT size = {0, 0, 260, 140};
        MapDialogRect(dialog, &size);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        struct Control {
            int id;
            RECT units;  // x, y, width, height in dialog units, each mapped alone as the dialog manager does
            DWORD style;
        };
        const Control controls[] = {
            {IDC_ABOUT_NAME, {60, 16, 180, 12}, SS_LEFT},
            {IDC_ABOUT_VERSION, {60, 30, 180, 10}, SS_LEFT},
            {IDC_ABOUT_DESCRIPTION, {16, 50, 228, 20}, SS_LEFT},
            {IDC_ABOUT_NOTICE, {16, 65, 228, 10}, SS_LEFT},
            {IDC_ABOUT_LINK, {16, 80, 228, 10}, SS_LEFT | SS_NOTIFY},
            {IDC_ABOUT_EMAIL, {16, 95, 228, 10}, SS_LEFT | SS_NOTIFY},
            {IDOK, {105, 120, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP},
        };
        for (const Control& control : controls) {
            HWND item = GetDlgItem(dialog, control.id);
            ASSERT_TRUE(item != nullptr) << control.id;
            RECT expected = control.units;
            MapDialogRect(dialog, &expected);
            RECT actual;
            GetWindowRect(item, &actual);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, expected.left) << "control " << control.id;
            EXPECT_EQ(actual.top, expected.top) << "control " << control.id;
            EXPECT_EQ(actual.right - actual.left, expected.right) << "control " << control.id;
            EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << "control " << control.id;
            // A focused push button turns into the default one; compare without that bit.
            DWORD itemStyle = GetWindowLongW(item, GWL_STYLE) & ~BS_DEFPUSHBUTTON;
            EXPECT_EQ(itemStyle & (control.style | SS_NOTIFY), control.style) << "control " << control.id;
        }
        RECT iconUnits = {16, 16, 16, 16};
        MapDialogRect(dialog, &iconUnits);
        RECT icon;
        GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_ICON), &icon);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&icon), 2);
        EXPECT_EQ(icon.left, iconUnits.left);
        EXPECT_EQ(icon.top, iconUnits.top);
        EXPECT_EQ(icon.right - icon.left, GetSystemMetrics(SM_CXICON)) << "sized by the icon";
        EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, IDC_ABOUT_ICON), GWL_STYLE) & SS_TYPEMASK, SS_ICON);
        PressButton(dialog, IDOK);
    });
}

TEST_F(AboutBox, IsCentredOnItsOwner) {
    StartApp();
    RunAboutBox([](HWND dialog) {
        RECT box;
        RECT owner;
        GetWindowRect(dialog, &box);
        GetWindowRect(MainWindow, &owner);
        int width = box.right - box.left;
        int height = box.bottom - box.top;
        EXPECT_EQ(box.left, owner.left + (owner.right - owner.left - width) / 2);
        EXPECT_EQ(box.top, owner.top + (owner.bottom - owner.top - height) / 2);
        PressButton(dialog, IDOK);
    });
}

TEST_F(AboutBox, LinkIsTheDialogFontUnderlined) {
    StartApp();
    RunAboutBox([](HWND dialog) {
        LOGFONTW dialogFont = FontOf(dialog);
        LOGFONTW link = FontOf(GetDlgItem(dialog, IDC_ABOUT_LINK));
        EXPECT_EQ(link.lfUnderline, 1);
        EXPECT_STREQ(link.lfFaceName, dialogFont.lfFaceName);
        EXPECT_EQ(link.lfHeight, dialogFont.lfHeight);
        EXPECT_EQ(link.lfWeight, dialogFont.lfWeight);
        for (int id : {IDC_ABOUT_NAME, IDC_ABOUT_VERSION, IDC_ABOUT_NOTICE, IDC_ABOUT_EMAIL}) {
            EXPECT_EQ(SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0),
                      SendMessageW(dialog, WM_GETFONT, 0, 0))
                << "control " << id;
        }
        EXPECT_EQ(dialogFont.lfUnderline, 0);
        PressButton(dialog, IDOK);
    });
}

TEST_F(AboutBox, LinkColoursOnlyTheLink) {
    StartApp();
    RunAboutBox([](HWND dialog) {
        HDC dc = CreateCompatibleDC(nullptr);
        LRESULT brush = SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ABOUT_LINK)));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
        EXPECT_EQ(GetTextColor(dc), 0xCC6600u);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

        SetTextColor(dc, 0);
        SetBkMode(dc, OPAQUE);
        brush = SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ABOUT_EMAIL)));
        EXPECT_NE(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
        EXPECT_NE(GetTextColor(dc), 0xCC6600u);
        DeleteDC(dc);
        PressButton(dialog, IDOK);
    });
}

// Paints the link over a magenta ground: its text and underline come out in
// the link colour, and the ground is left as it was.
TEST_F(AboutBox, LinkIsDrawnWithoutBackground) {
    StartApp();
    RunAboutBox([](HWND dialog) {
        const COLORREF ground = RGB(255, 0, 255);
        const COLORREF link = 0xCC6600;
        HWND control = GetDlgItem(dialog, IDC_ABOUT_LINK);
        RECT area;
        GetClientRect(control, &area);
        ScribbleOver(control, ground);
        HDC dc = GetDC(control);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        int groundPixels = 0;
        int linkPixels = 0;
        int longestRun = 0;
        int faceColoured = 0;
        for (int y = 0; y < area.bottom; ++y) {
            int run = 0;
            for (int x = 0; x < area.right; ++x) {
                COLORREF pixel = GetPixel(dc, x, y);
                groundPixels += pixel == ground;
                linkPixels += pixel == link;
                faceColoured += pixel == GetSysColor(COLOR_BTNFACE);
                run = pixel == link ? run + 1 : 0;
                if (run > longestRun) longestRun = run;
            }
        }
        SIZE text = {};
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc, VendorHomePage, lstrlenW(VendorHomePage), &text);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        EXPECT_GT(linkPixels, 0) << "no pixel in the link colour";
        EXPECT_GT(groundPixels, area.right * area.bottom / 2) << "the ground was painted over";
        EXPECT_EQ(faceColoured, 0) << "the link filled its background";
        EXPECT_GE(longestRun, text.cx * 9 / 10) << "no underline under the address";
        PressButton(dialog, IDOK);
    });
}

// The link opens the home page on every click, twice on a double click
// (whose second press comes as WM_LBUTTONDBLCLK); the e-mail line opens
// nothing. The box stays open.
TEST_F(AboutBox, ClicksOpenTheHomePageFromTheLinkOnly) {
    StartApp();
    BrowserCapture browser;
    struct Row {
        const char* name;
        int control;
        size_t afterClick, afterDoubleClick;  // pages opened
    } rows[] = {{"link", IDC_ABOUT_LINK, 1, 3}, {"e-mail line", IDC_ABOUT_EMAIL, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Opened.clear();
        RunAboutBox([&row](HWND dialog) {
            HWND control = GetDlgItem(dialog, row.control);
            LPARAM point = MAKELPARAM(4, 4);
            SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(control, WM_LBUTTONUP, 0, point);
            EXPECT_EQ(Opened.size(), row.afterClick) << "a click";
            SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(control, WM_LBUTTONUP, 0, point);
            SendMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
            SendMessageW(control, WM_LBUTTONUP, 0, point);
            EXPECT_EQ(Opened.size(), row.afterDoubleClick) << "and a double click";
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the box closed on a click";
            PressButton(dialog, IDOK);
        });
        for (const std::wstring& address : Opened) EXPECT_EQ(address, L"https://www.tavilo-editor.example/");
    }
}

// Keys reach the box as the keyboard sends them: to the focused control,
// through the dialog's own message loop.
TEST_F(AboutBox, EnterAndEscClose) {
    StartApp();
    BrowserCapture browser;
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        HWND shown = nullptr;
        bool forced = RunAboutBox([&shown, key](HWND dialog) {
            shown = dialog;
            HWND focus = GetFocus();
            EXPECT_EQ(focus, GetDlgItem(dialog, IDOK)) << "key " << key;
            PostMessageW(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, key, 1);
        });
        EXPECT_FALSE(forced) << "key " << key << " left the box open";
        EXPECT_FALSE(IsWindow(shown)) << "key " << key;
    }
    EXPECT_TRUE(Opened.empty());
}

// Every opening makes one link font and its closing deletes it.
TEST_F(AboutBox, LeavesNoFontBehind) {
    StartApp();
    std::vector<HGDIOBJ> fonts;
    for (int i = 0; i < 20; ++i) {
        RunAboutBox([&fonts](HWND dialog) {
            fonts.push_back(
                reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(dialog, IDC_ABOUT_LINK, WM_GETFONT, 0, 0)));
            EXPECT_EQ(GetObjectType(fonts.back()), static_cast<DWORD>(OBJ_FONT));
            PressButton(dialog, IDOK);
        });
        EXPECT_EQ(GetObjectType(fonts.back()), 0u) << "opening " << i << " left its link font";
    }
}

TEST_F(AboutBox, LeavesNoGdiObjectBehind) {
    StartApp();
    RunAboutBox([](HWND dialog) { PressButton(dialog, IDOK); });  // the first opening loads the icon
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0) GTEST_SKIP() << "GetGuiResources does not count GDI objects here";
    for (int i = 0; i < 20; ++i) RunAboutBox([](HWND dialog) { PressButton(dialog, IDOK); });
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}
