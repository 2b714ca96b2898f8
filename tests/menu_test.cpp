// The menu bar and accelerator table 400 against the command table.
#include "harness.h"

#include <commctrl.h>

#include "app/app.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

struct Item {
    UINT id;  // 0 for a separator
    const wchar_t* text;
};

void ExpectMenu(HMENU menu, const std::vector<Item>& items, const char* name) {
    ASSERT_TRUE(menu != nullptr) << name;
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size())) << name;
    for (size_t i = 0; i < items.size(); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 128;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) << name << " " << i;
        if (items[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << name << " position " << i;
        } else {
            EXPECT_EQ(info.wID, items[i].id) << name << " position " << i;
            EXPECT_STREQ(text, items[i].text) << name << " position " << i;
        }
    }
}

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

std::vector<std::wstring> InstalledFamilies() {
    std::vector<std::wstring> found;
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < FontCount; ++i) {
        // An independent look: ask GDI for the exact face and compare the name it picked.
        HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, FontTable[i]);
        HGDIOBJ previous = SelectObject(screen, font);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(screen, LF_FACESIZE, face);
        SelectObject(screen, previous);
        DeleteObject(font);
        if (lstrcmpiW(face, FontTable[i]) == 0) found.push_back(FontTable[i]);
    }
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

using MenuBar = AppFixture;

TEST_F(MenuBar, MatchesTheCommandTable) {
    StartApp();
    HMENU bar = GetMenu(MainWindow);
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    EXPECT_EQ(MenuText(bar, 0), L"&File");
    EXPECT_EQ(MenuText(bar, 1), L"&Edit");
    EXPECT_EQ(MenuText(bar, 2), L"&Options");
    EXPECT_EQ(MenuText(bar, 3), L"&Help");

    ExpectMenu(GetSubMenu(bar, 0),
               {{101, L"&New\tCtrl+N"},
                {102, L"&Open\tCtrl+O"},
                {103, L"&Save\tCtrl+S"},
                {104, L"&Save As\tCtrl+Shift+S"},
                {0, nullptr},
                {105, L"&Print\tCtrl+P"},
                {0, nullptr},
                {100, L"E&xit\tAlt+F4"}},
               "File");
    ExpectMenu(GetSubMenu(bar, 1),
               {{110, L"&Undo\tCtrl+Z"},
                {111, L"&Redo\tCtrl+Y"},
                {0, nullptr},
                {112, L"Cu&t\tCtrl+X"},
                {113, L"&Copy\tCtrl+C"},
                {114, L"&Paste\tCtrl+V"},
                {0, nullptr},
                {115, L"&Find...\tCtrl+F"},
                {116, L"&Replace...\tCtrl+H"},
                {117, L"&Go to\tCtrl+G"}},
               "Edit");
    ExpectMenu(GetSubMenu(bar, 3), {{200, L"&Check Update"}, {0, nullptr}, {201, L"&About"}}, "Help");

    HMENU options = GetSubMenu(bar, 2);
    ASSERT_EQ(GetMenuItemCount(options), 5);
    EXPECT_EQ(MenuText(options, 0), L"&Font");
    EXPECT_EQ(MenuText(options, 1), L"&Size");
    EXPECT_EQ(MenuText(options, 2), L"&Zoom");
    EXPECT_EQ(MenuText(options, 3), L"&Theme");
    EXPECT_EQ(MenuText(options, 4), L"Auto-Wrapping\tCtrl+W");
    EXPECT_EQ(GetMenuItemID(options, 4), 203u);

    std::vector<Item> sizes;
    std::vector<std::wstring> sizeTexts;
    for (int k = 0; k <= 12; ++k) sizeTexts.push_back(std::to_wstring(10 + k));
    for (int k = 0; k <= 12; ++k) sizes.push_back({static_cast<UINT>(5100 + k), sizeTexts[k].c_str()});
    ExpectMenu(GetSubMenu(options, 1), sizes, "Size");
    ExpectMenu(GetSubMenu(options, 2),
               {{5201, L"-10%\tCtrl -"},
                {5202, L"+10%\tCtrl +"},
                {0, nullptr},
                {5203, L"100%\tCtrl+1"},
                {5204, L"150%\tCtrl+2"},
                {5205, L"200%\tCtrl+3"},
                {5206, L"300%\tCtrl+4"}},
               "Zoom");
    ExpectMenu(GetSubMenu(options, 3),
               {{5300, L"Pure White"},
                {5301, L"Warm"},
                {5302, L"Dark Blue 1"},
                {5303, L"Dark Blue 2"},
                {5304, L"Dark Gray 1"},
                {5305, L"Dark Gray 2"}},
               "Theme");
}

TEST_F(MenuBar, ListsUninstalledFontsDisabledButNotGreyed) {
    StartApp();
    HMENU fonts = GetSubMenu(GetSubMenu(GetMenu(MainWindow), 2), 0);
    ASSERT_EQ(GetMenuItemCount(fonts), 7);
    std::vector<std::wstring> installed = InstalledFamilies();
    int position = 0;
    for (int i = 0; i < FontCount; ++i, ++position) {
        if (i == 3) {
            EXPECT_TRUE(GetMenuState(fonts, position, MF_BYPOSITION) & MF_SEPARATOR);
            ++position;
        }
        bool isInstalled = false;
        for (const std::wstring& face : installed) isInstalled |= face == FontTable[i];
        UINT state = GetMenuState(fonts, position, MF_BYPOSITION);
        std::wstring expected = FontTable[i];
        if (!isInstalled) expected += L" (not installed)";
        EXPECT_EQ(MenuText(fonts, position), expected);
        EXPECT_EQ(GetMenuItemID(fonts, position), static_cast<UINT>(5000 + i));
        EXPECT_EQ((state & MF_DISABLED) != 0, !isInstalled) << Narrow(expected);
        EXPECT_FALSE(state & MF_GRAYED) << Narrow(expected);
    }
}

TEST_F(MenuBar, AutoWrappingIsCheckedWhenBuiltWithWrapOn) {
    StartApp();
    EXPECT_FALSE(GetMenuState(GetMenu(MainWindow), IDM_OPTIONS_AUTOWRAP, MF_BYCOMMAND) & MF_CHECKED);
    Autowrap = true;
    HMENU bar = BuildMenuBar();
    EXPECT_TRUE(GetMenuState(bar, IDM_OPTIONS_AUTOWRAP, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(bar);
    Autowrap = false;
}

TEST(Accelerators, TableHoldsTheFifteenShortcutsInOrder) {
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ASSERT_TRUE(table != nullptr);
    ACCEL entries[32];
    int count = CopyAcceleratorTableW(table, entries, 32);
    struct Expected {
        WORD id, key;
        BYTE flags;
    } expected[] = {
        {101, 'N', FVIRTKEY | FCONTROL},         {102, 'O', FVIRTKEY | FCONTROL},
        {103, 'S', FVIRTKEY | FCONTROL},         {104, 'S', FVIRTKEY | FCONTROL | FSHIFT},
        {105, 'P', FVIRTKEY | FCONTROL},         {115, 'F', FVIRTKEY | FCONTROL},
        {116, 'H', FVIRTKEY | FCONTROL},         {117, 'G', FVIRTKEY | FCONTROL},
        {203, 'W', FVIRTKEY | FCONTROL},         {5201, VK_SUBTRACT, FVIRTKEY | FCONTROL},
        {5202, VK_ADD, FVIRTKEY | FCONTROL},     {5203, VK_NUMPAD1, FVIRTKEY | FCONTROL},
        {5204, VK_NUMPAD2, FVIRTKEY | FCONTROL}, {5205, VK_NUMPAD3, FVIRTKEY | FCONTROL},
        {5206, VK_NUMPAD4, FVIRTKEY | FCONTROL},
    };
    ASSERT_EQ(count, 15);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(entries[i].cmd, expected[i].id) << "entry " << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << "entry " << i;
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].flags) << "entry " << i;
    }
}

// Which command a key press reaches through the message loop's translation.
class AcceleratorKeys : public AppFixture {
protected:
    static LRESULT CALLBACK Spy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
        if (message == WM_COMMAND && HIWORD(wParam) == 1) commands.push_back(LOWORD(wParam));
        if (message == WM_COMMAND) return 0;  // the command itself is not run
        return DefSubclassProc(window, message, wParam, lParam);
    }
    std::vector<UINT> Press(std::vector<BYTE> held, WORD key) {
        commands.clear();
        BYTE state[256] = {};
        for (BYTE k : held) state[k] = 0x80;
        SetKeyboardState(state);
        MSG message = {EditControl, WM_KEYDOWN, key, 1};
        TranslateAcceleratorW(MainWindow, accelerators, &message);
        BYTE none[256] = {};
        SetKeyboardState(none);
        return commands;
    }
    static std::vector<UINT> commands;
};
std::vector<UINT> AcceleratorKeys::commands;

TEST_F(AcceleratorKeys, ReachTheirCommands) {
    StartApp();
    ASSERT_TRUE(accelerators != nullptr);
    SetWindowSubclass(MainWindow, Spy, 7, 0);
    EXPECT_EQ(Press({VK_CONTROL}, 'S'), std::vector<UINT>{103});
    EXPECT_EQ(Press({VK_CONTROL, VK_SHIFT}, 'S'), std::vector<UINT>{104});
    EXPECT_EQ(Press({VK_CONTROL}, VK_NUMPAD1), std::vector<UINT>{5203});
    EXPECT_EQ(Press({VK_CONTROL}, '1'), std::vector<UINT>{});  // the digit row is the editor's
    EXPECT_EQ(Press({VK_CONTROL}, VK_OEM_MINUS), std::vector<UINT>{});
    EXPECT_EQ(Press({VK_CONTROL}, 'W'), std::vector<UINT>{203});
    EXPECT_EQ(Press({}, 'S'), std::vector<UINT>{});
    RemoveWindowSubclass(MainWindow, Spy, 7);
}
