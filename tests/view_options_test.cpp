// Fonts and sizes, themes, zoom and word wrap, as the Options menu, the
// window's pixels and the editor show them.
#include "harness.h"
#include "dialog_watcher.h"

#include <richedit.h>

#include "app/app.h"
#include "document/document.h"
#include "installed_fonts.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

LOGFONTW FontOf(HFONT font) {
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

HMENU OptionsPopup(int position) {
    return GetSubMenu(GetSubMenu(GetMenu(MainWindow), MENU_POS_OPTIONS), position);
}

// The ids of a popup's checked items, and whether each was checked as a radio item.
std::vector<UINT> RadioCheckedIds(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        if ((info.fState & MFS_CHECKED) && (info.fType & MFT_RADIOCHECK)) ids.push_back(info.wID);
    }
    return ids;
}

// The zoom the editor itself reports, in percent.
int EditorZoom() {
    int numerator = 0, denominator = 0;
    SendMessageW(EditControl, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    return numerator && denominator ? MulDiv(numerator, 100, denominator) : 100;
}

int WindowWidth(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

// A pixel of a window as it shows on screen once every paint has run.
COLORREF PixelOf(HWND window, int x, int y) {
    RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// The text colour of the whole text, or CLR_INVALID when it is mixed or automatic.
COLORREF WholeTextColour() {
    SendMessageW(EditControl, EM_SETSEL, 0, -1);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(EditControl, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageW(EditControl, EM_SETSEL, 0, 0);
    if (!(format.dwMask & CFM_COLOR) || (format.dwEffects & CFE_AUTOCOLOR)) return CLR_INVALID;
    return format.crTextColor;
}

std::string Hex(COLORREF colour) {
    char text[16];
    wsprintfA(text, "%06X", static_cast<unsigned>(colour));
    return text;
}

std::wstring LongLines(int lines, int length) {
    std::wstring text;
    for (int i = 0; i < lines; ++i) {
        if (i) text += L"\r";
        for (int k = 0; k < length; ++k) text += k % 7 == 6 ? L' ' : static_cast<wchar_t>(L'a' + k % 7);
    }
    return text;
}

}  // namespace

// ---- The Font popup and the installed-font test ----

TEST(Fonts, InstalledFacesAreThoseFontconfigLists) {
    SKIP_WITHOUT_FONT_LIST();
    std::vector<bool> installed = InstalledFaces();
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < FontCount; ++i) {
        EXPECT_EQ(IsFontInstalled(screen, FontTable[i]), installed[i]) << Narrow(FontTable[i]);
    }
    EXPECT_FALSE(IsFontInstalled(screen, L"Tavilo No Such Face"));
    ReleaseDC(nullptr, screen);
}

// ---- Font and size commands ----

using FontCommands = AppFixture;

// After each command, the one radio check of each popup: font, size, zoom, theme.
TEST_F(FontCommands, RadioChecksMoveWithinTheirOwnGroup) {
    StartApp();
    struct Row {
        UINT command;  // 0: as started
        UINT font, size, zoom, theme;
    } rows[] = {
        {0, IDM_FONT_FIRST, IDM_SIZE_FIRST + 8, IDM_ZOOM_100, IDM_THEME_FIRST},
        {IDM_FONT_FIRST + 4, IDM_FONT_FIRST + 4, IDM_SIZE_FIRST + 8, IDM_ZOOM_100, IDM_THEME_FIRST},
        {IDM_SIZE_FIRST + 2, IDM_FONT_FIRST + 4, IDM_SIZE_FIRST + 2, IDM_ZOOM_100, IDM_THEME_FIRST},
        {IDM_THEME_FIRST + 5, IDM_FONT_FIRST + 4, IDM_SIZE_FIRST + 2, IDM_ZOOM_100, IDM_THEME_FIRST + 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("after command " + std::to_string(row.command));
        if (row.command) SendCommand(row.command);
        EXPECT_EQ(RadioCheckedIds(OptionsPopup(OPTIONS_POS_FONT)), std::vector<UINT>{row.font});
        EXPECT_EQ(RadioCheckedIds(OptionsPopup(OPTIONS_POS_SIZE)), std::vector<UINT>{row.size});
        EXPECT_EQ(RadioCheckedIds(OptionsPopup(OPTIONS_POS_ZOOM)), std::vector<UINT>{row.zoom});
        EXPECT_EQ(RadioCheckedIds(OptionsPopup(OPTIONS_POS_THEME)), std::vector<UINT>{row.theme});
    }
    EXPECT_EQ(FontIndex, 4);
    EXPECT_EQ(FontSize, 12);
    EXPECT_EQ(ColorIndex, 5);
}

TEST_F(FontCommands, BuildTheEditorFontFromTheFixedArguments) {
    StartApp();
    HFONT previous = EditorFont;
    SendCommand(IDM_FONT_FIRST + 3);
    SendCommand(IDM_SIZE_LAST);
    int dpi = GetDpiForWindow(MainWindow);
    LOGFONTW font = FontOf(EditorFont);
    EXPECT_EQ(font.lfHeight, -MulDiv(22, dpi, 96));
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_STREQ(font.lfFaceName, L"Fira Code");
    EXPECT_EQ(GetObjectType(previous), 0u) << "the replaced font is deleted";
}

// The line numbers follow the chosen face and size at once.
TEST_F(FontCommands, RebuildTheGutterFontLineHeightAndWidth) {
    StartApp();
    SetEditorText(L"one\rtwo\rthree");
    SendCommand(IDM_SIZE_FIRST);
    int smallWidth = GutterWidth;
    int smallLineHeight = LineHeight;

    SendCommand(IDM_SIZE_LAST);
    int dpi = GetDpiForWindow(MainWindow);
    LOGFONTW gutterFont = FontOf(GutterFont);
    EXPECT_EQ(gutterFont.lfHeight, -MulDiv(22 * 100, dpi, 9600));
    EXPECT_STREQ(gutterFont.lfFaceName, FontTable[FontIndex]);
    EXPECT_GT(GutterWidth, smallWidth);
    EXPECT_GT(LineHeight, smallLineHeight);
    EXPECT_EQ(WindowWidth(GutterWindow), GutterWidth) << "the window is laid out again";

    HDC dc = GetDC(MainWindow);
    HGDIOBJ previous = SelectObject(dc, GutterFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(MainWindow, dc);
    EXPECT_EQ(LineHeight, metrics.tmHeight + metrics.tmExternalLeading);
}

TEST_F(FontCommands, KeepAnUnchangedDocumentUnchangedInTheThemeColour) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 3);  // "Dark Blue 2": yellow text
    SetEditorText(L"first line\rsecond line");
    ClearModified();

    SendCommand(IDM_FONT_FIRST + 1);
    SendCommand(IDM_SIZE_FIRST + 4);
    PumpMessages();
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_EQ(Hex(WholeTextColour()), Hex(RGB(255, 221, 87)));
}

// An edit whose modified-state timer has not fired yet is still an edit
// after the restyle: the unsaved-changes state must not be lost.
TEST_F(FontCommands, KeepAnEditThatIsStillOnItsWayToTheTitle) {
    StartApp();
    SendMessageW(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"typed"));
    ASSERT_FALSE(IsModified);  // the timer has not run yet
    SendMessageW(MainWindow, WM_COMMAND, IDM_SIZE_FIRST + 6, 0);
    EXPECT_TRUE(PumpUntil([] { return IsModified; }, 2000));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
}

TEST_F(FontCommands, DpiChangeRebuildsTheEditorFont) {
    StartApp();
    SetEditorText(L"text");
    ClearModified();
    HFONT previous = EditorFont;
    int dpi = GetDpiForWindow(MainWindow);
    RECT suggested = {0, 0, 800, 600};
    SendMessageW(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
    EXPECT_NE(EditorFont, previous);
    EXPECT_EQ(GetObjectType(previous), 0u) << "the replaced font is deleted";
    EXPECT_EQ(FontOf(EditorFont).lfHeight, -MulDiv(FontSize, dpi, 96));
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), 0);
}

// ---- 144 and 192 DPI ----

// Wine reads the system DPI from the registry when a process starts, so
// these tests run themselves again in a child process started while the
// setting says 144 or 192, and report the child's result.
class HighDpi : public AppFixture {
protected:
    static constexpr const wchar_t* ChildVariable = L"TAVILO_TEST_AT_HIGH_DPI";
    static bool IsChild() { return GetEnvironmentVariableW(ChildVariable, nullptr, 0) > 0; }
    void RunAsChildAtDpi(DWORD dpi);
};

// Sets HKCU\Control Panel\Desktop\LogPixels for as long as it lives.
class LogPixelsSetting {
public:
    explicit LogPixelsSetting(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key_, nullptr);
        DWORD size = sizeof(old_);
        hadOld_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                                   &size) == ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }
    ~LogPixelsSetting() {
        if (hadOld_) {
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                           sizeof(old_));
        } else {
            RegDeleteValueW(key_, L"LogPixels");
        }
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool hadOld_ = false;
};

// The system DPI is changed only in the Wine prefix that the test run
// keeps in the build folder (scripts/wine-env.sh): anywhere else, Windows
// or a prefix of the developer's own, the setting is the user's.
static bool InTheBuildFoldersWinePrefix() {
    char prefix[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
    std::wstring dos = length && length < MAX_PATH ? DosPath(prefix) : L"";
    if (dos.empty()) return false;
    auto fullPath = [](const std::wstring& path) {
        wchar_t full[MAX_PATH] = {};
        GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
        std::wstring result = full;
        while (!result.empty() && result.back() == L'\\') result.pop_back();
        return result;
    };
    return lstrcmpiW(fullPath(dos).c_str(), fullPath(TestProgramFolder() + L"..\\..\\wineprefix").c_str()) ==
           0;
}

void HighDpi::RunAsChildAtDpi(DWORD dpi) {
    if (!InTheBuildFoldersWinePrefix())
        GTEST_SKIP() << "changes the system DPI in the registry, which is done only in the Wine prefix "
                        "inside the build folder";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring filter = Widen(std::string(test->test_suite_name()) + "." + test->name());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=" + filter;
    // Beside the program, not in the scratch folder, which the child's fixture empties.
    std::wstring outputPath = TestProgramFolder() + L"high-dpi-child-output.txt";

    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(output, INVALID_HANDLE_VALUE);
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    BOOL started;
    {
        LogPixelsSetting setting(dpi);
        SetEnvironmentVariableW(ChildVariable, L"1");
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &process);
        SetEnvironmentVariableW(ChildVariable, nullptr);
        if (started)
            PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 60000);
    }
    CloseHandle(output);
    ASSERT_TRUE(started);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string childOutput = ReadBytes(outputPath);
    DeleteFileW(outputPath.c_str());
    EXPECT_EQ(exitCode, 0u) << "the child at " << dpi << " DPI failed:\n" << childOutput;
    EXPECT_NE(childOutput.find("[  PASSED  ] 1 test."), std::string::npos) << childOutput;
}

TEST_F(HighDpi, FontHeightsFollowTheMonitorDpi) {
    if (!IsChild()) return RunAsChildAtDpi(144);
    StartApp();
    ASSERT_EQ(GetDpiForWindow(MainWindow), 144u);
    EXPECT_FLOAT_EQ(DpiScale, 1.5f);
    EXPECT_EQ(FontOf(EditorFont).lfHeight, -27) << "size 18 at start-up";

    SendCommand(IDM_SIZE_LAST);
    EXPECT_EQ(FontOf(EditorFont).lfHeight, -33);
    EXPECT_EQ(FontOf(GutterFont).lfHeight, -33);
    SendCommand(IDM_ZOOM_150);
    EXPECT_EQ(FontOf(GutterFont).lfHeight, -50);  // MulDiv(3300, 144, 9600)
    EXPECT_EQ(FontOf(EditorFont).lfHeight, -33) << "the control zooms the editor's text itself";

    RECT suggested = {0, 0, 800, 600};
    SendMessageW(MainWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(FontOf(EditorFont).lfHeight, -33);
    EXPECT_EQ(FontOf(GutterFont).lfHeight, -50);
}

// The status bar draws in the font its parts are measured in: the
// system's menu font at the window's DPI, from the start.
TEST_F(HighDpi, StatusBarPartsFitTheirTextsAt192Dpi) {
    if (!IsChild()) return RunAsChildAtDpi(192);
    StartApp();
    ASSERT_EQ(GetDpiForWindow(StatusBar), 192u);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(StatusBar, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << "the status bar measures in one font and draws in another";
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, 192);
    EXPECT_EQ(FontOf(font).lfHeight, metrics.lfMenuFont.lfHeight) << "the menu font at 192 DPI";

    HDC dc = GetDC(StatusBar);
    HGDIOBJ previous = SelectObject(dc, font);
    for (int part = 1; part < 5; ++part) {  // part 0 takes what is left
        wchar_t text[256] = {};
        SendMessageW(StatusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        RECT area = {};
        SendMessageW(StatusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&area));
        EXPECT_GE(area.right - area.left, size.cx) << "part " << part << ": " << Narrow(text);
    }
    SelectObject(dc, previous);
    ReleaseDC(StatusBar, dc);
}

// ---- Themes ----

using Themes = AppFixture;

TEST_F(Themes, PaintTheEditorGutterAndFrameInTheirColours) {
    StartApp();
    RECT editor, gutter;
    GetClientRect(EditControl, &editor);
    GetClientRect(GutterWindow, &gutter);
    for (int i = 0; i < ThemeCount; ++i) {
        SendCommand(IDM_THEME_FIRST + i);
        const Theme& theme = ThemeTable[i];
        EXPECT_EQ(Hex(PixelOf(EditControl, editor.right / 2, editor.bottom / 2)), Hex(theme.editorBackground))
            << "editor background of " << Narrow(theme.name);
        // Low in the gutter, below any line number.
        EXPECT_EQ(Hex(PixelOf(GutterWindow, gutter.right / 2, gutter.bottom - 4)),
                  Hex(theme.gutterBackground))
            << "gutter background of " << Narrow(theme.name);

        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
        ReleaseDC(nullptr, screen);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        EXPECT_EQ(SendMessageW(MainWindow, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 1);
        EXPECT_EQ(Hex(GetPixel(memory, 4, 4)), Hex(theme.editorBackground))
            << "frame background of " << Narrow(theme.name);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
}

TEST_F(Themes, DarkBlueTwoDiffersFromDarkBlueOneOnlyInTheTextColour) {
    StartApp();
    SetEditorText(L"some text");
    SendCommand(IDM_THEME_FIRST + 2);
    EXPECT_EQ(Hex(WholeTextColour()), Hex(RGB(245, 245, 245)));
    RECT editor;
    GetClientRect(EditControl, &editor);
    COLORREF background = PixelOf(EditControl, editor.right / 2, editor.bottom / 2);

    SendCommand(IDM_THEME_FIRST + 3);
    EXPECT_EQ(Hex(WholeTextColour()), Hex(RGB(255, 221, 87)));
    EXPECT_EQ(Hex(PixelOf(EditControl, editor.right / 2, editor.bottom / 2)), Hex(background));
}

TEST_F(Themes, EmptyTheUndoHistoryAndKeepTheModifiedState) {
    StartApp();
    for (wchar_t c : std::wstring(L"abc")) SendMessageW(EditControl, WM_CHAR, c, 1);
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    ASSERT_TRUE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));

    SendCommand(IDM_THEME_FIRST + 1);
    EXPECT_FALSE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"abc");
    EXPECT_TRUE(SendMessageW(EditControl, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(IsModified);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");

    // The history works again afterwards, up to its limit.
    for (wchar_t c : std::wstring(L"de")) SendMessageW(EditControl, WM_CHAR, c, 1);
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_NE(EditorText(), L"abcde");
}

// The frame shows only while the editor is being re-laid out for a wrap
// toggle; otherwise its paint draws nothing. Its children are hidden here so
// that the frame's own client area shows.
TEST_F(Themes, FramePaintsTheEditorColourOnlyDuringAWrapToggle) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 1);
    ShowWindow(GutterWindow, SW_HIDE);
    ShowWindow(EditControl, SW_HIDE);
    ShowWindow(StatusBar, SW_HIDE);
    UpdateWindow(MainWindow);
    PumpMessages();
    const COLORREF marker = RGB(200, 0, 0);
    auto paintAndRead = [&](bool toggleActive) {
        HDC dc = GetDC(MainWindow);
        HBRUSH brush = CreateSolidBrush(marker);
        RECT area = {10, 10, 30, 30};
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        WrapToggleActive = toggleActive;
        RedrawWindow(MainWindow, &area, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
        WrapToggleActive = false;
        COLORREF colour = GetPixel(dc, 20, 20);
        ReleaseDC(MainWindow, dc);
        return colour;
    };
    EXPECT_EQ(Hex(paintAndRead(false)), Hex(marker));
    EXPECT_EQ(Hex(paintAndRead(true)), Hex(ThemeTable[1].editorBackground));
}

// ---- Zoom ----

using Zoom = AppFixture;

TEST_F(Zoom, StepsWalkToTenAndToFiveHundredAndStayThere) {
    StartApp();
    for (int expected = 90; expected >= 10; expected -= 10) {
        SendCommand(IDM_ZOOM_OUT);
        ASSERT_EQ(EditorZoom(), expected);
        ASSERT_EQ(ZoomPercent, expected);
    }
    SendCommand(IDM_ZOOM_OUT);
    EXPECT_EQ(EditorZoom(), 10);
    for (int expected = 20; expected <= 500; expected += 10) {
        SendCommand(IDM_ZOOM_IN);
        ASSERT_EQ(EditorZoom(), expected);
        ASSERT_EQ(ZoomPercent, expected);
    }
    SendCommand(IDM_ZOOM_IN);
    EXPECT_EQ(EditorZoom(), 500);
    EXPECT_EQ(ZoomPercent, 500);
}

TEST_F(Zoom, StepsStartFromTheCurrentPercentage) {
    StartApp();
    SendCommand(IDM_ZOOM_150);
    SendCommand(IDM_ZOOM_IN);
    EXPECT_EQ(EditorZoom(), 160);
    SendCommand(IDM_ZOOM_300);
    SendCommand(IDM_ZOOM_OUT);
    EXPECT_EQ(EditorZoom(), 290);
}

TEST_F(Zoom, PresetsZoomTheTextAndTheGutterAndCheckTheirItem) {
    StartApp();
    struct Row {
        UINT id;
        int percent;
    } rows[] = {{IDM_ZOOM_200, 200}, {IDM_ZOOM_150, 150}, {IDM_ZOOM_300, 300}, {IDM_ZOOM_100, 100}};
    int dpi = GetDpiForWindow(MainWindow);
    int widthAt100 = GutterWidth;
    for (const Row& row : rows) {
        SendCommand(row.id);
        EXPECT_EQ(EditorZoom(), row.percent) << row.id;
        EXPECT_EQ(RadioCheckedIds(OptionsPopup(OPTIONS_POS_ZOOM)), std::vector<UINT>{row.id});
        EXPECT_EQ(FontOf(GutterFont).lfHeight, -MulDiv(FontSize * row.percent, dpi, 9600)) << row.id;
        EXPECT_EQ(WindowWidth(GutterWindow), GutterWidth) << row.id;
        EXPECT_TRUE(row.percent == 100 || GutterWidth > widthAt100) << row.id << ": the gutter grows";
    }
    EXPECT_EQ(GutterWidth, widthAt100);
}

// New and Open call this once their text is in place.
TEST_F(Zoom, ResetViewReturnsToHundredAndShrinksTheGutter) {
    StartApp();
    SetEditorText(L"1\r2\r3\r4");
    int widthAt100 = GutterWidth;
    SendCommand(IDM_ZOOM_300);
    ASSERT_GT(GutterWidth, widthAt100);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);  // as a load leaves it

    ResetView();
    PumpMessages();
    EXPECT_EQ(ZoomPercent, 100);
    EXPECT_EQ(EditorZoom(), 100);
    EXPECT_EQ(GutterWidth, widthAt100);
    EXPECT_EQ(WindowWidth(GutterWindow), widthAt100);
    EXPECT_EQ(FontOf(GutterFont).lfHeight, -MulDiv(FontSize, GetDpiForWindow(MainWindow), 96));
    EXPECT_EQ(SendMessageW(EditControl, EM_GETEVENTMASK, 0, 0), static_cast<LRESULT>(EditorEventMask));
}

// ---- Word wrap ----

using WordWrap = AppFixture;

TEST_F(WordWrap, ToggleScrollsHomeFlipsTheCheckAndHidesTheHorizontalBar) {
    StartApp();
    SetEditorText(LongLines(60, 400));
    ASSERT_EQ(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0), 60);
    POINT away = {500, 300};
    SendMessageW(EditControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&away));
    PumpMessages();
    POINT position = {};
    SendMessageW(EditControl, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
    ASSERT_TRUE(position.x > 0 && position.y > 0);
    SCROLLBARINFO bar = {sizeof(bar)};
    GetScrollBarInfo(EditControl, OBJID_HSCROLL, &bar);
    ASSERT_FALSE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "the long lines need a horizontal scroll bar";

    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "wrap on" : "wrap off");
        SendMessageW(EditControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&away));
        SendCommand(IDM_OPTIONS_AUTOWRAP);
        EXPECT_EQ(Autowrap, on);
        EXPECT_EQ((GetMenuState(GetMenu(MainWindow), IDM_OPTIONS_AUTOWRAP, MF_BYCOMMAND) & MF_CHECKED) != 0,
                  on);
        SendMessageW(EditControl, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
        EXPECT_EQ(position.x, 0);
        EXPECT_EQ(position.y, 0);
        LRESULT lines = SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0);
        EXPECT_TRUE(on ? lines > 60 : lines == 60) << lines << " lines";
        GetScrollBarInfo(EditControl, OBJID_HSCROLL, &bar);
        if (on) {
            EXPECT_TRUE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "no horizontal scroll bar with wrap on";
        }
    }
}

// A new theme is no edit: closing afterwards asks nothing.
TEST_F(Themes, LeaveAnUnchangedDocumentUnchanged) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 3);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), 0);
    DialogWatcher watcher(Press(IDCANCEL));
    SendMessageW(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_FALSE(IsWindow(MainWindow));
}
