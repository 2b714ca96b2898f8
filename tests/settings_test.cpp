// The settings file beside the program: created on the first run, read and
// clamped at start-up, written when the program closes.
#include "harness.h"

#include <richedit.h>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "installed_fonts.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

std::wstring SettingsPath() { return TestProgramFolder() + L"settings.ini"; }

// A key of section "UI" as the profile functions read it, "<missing>" when absent.
std::wstring StoredValue(const wchar_t* key) {
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"UI", key, L"<missing>", value, 64, SettingsPath().c_str());
    return value;
}

// Every "key=value" of section "UI", in file order.
std::vector<std::wstring> StoredKeys() {
    wchar_t section[1024] = {};
    GetPrivateProfileSectionW(L"UI", section, 1024, SettingsPath().c_str());
    std::vector<std::wstring> keys;
    for (const wchar_t* key = section; *key; key += lstrlenW(key) + 1) keys.push_back(key);
    return keys;
}

const std::string DefaultFile = "[UI]\r\nFontIndex=0\r\nFontSize=18\r\nColorIndex=0\r\nAutowrap=0\r\n";

UINT CheckedId(int position, UINT first, UINT last) {
    HMENU popup = GetSubMenu(GetSubMenu(GetMenu(MainWindow), MENU_POS_OPTIONS), position);
    for (UINT id = first; id <= last; ++id) {
        if (GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED) return id;
    }
    return 0;
}

bool WrapIsChecked() {
    return (GetMenuState(GetMenu(MainWindow), IDM_OPTIONS_AUTOWRAP, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void ResetViewSettings() {
    FontIndex = 0;
    FontSize = 18;
    ColorIndex = 0;
    Autowrap = false;
}

// Closes the window as its close box does, answering any prompt with No
// (none is expected: the documents here are never edited).
void CloseWindow() {
    DialogWatcher watcher(Press(IDNO));
    SendMessageW(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_TRUE(watcher.Seen().empty());
}

}  // namespace

// ---- Reading: the values and their clamping ----

// The rows of faces that may not be installed need fontconfig's list
// (scripts/test.sh writes it); without one they are left out.
TEST(LoadSettings, ClampsWhatItReads) {
    std::vector<bool> installed = InstalledFaces();
    bool knowsFaces = !FontconfigFamilies().empty();
    int installedFace = knowsFaces ? FirstFaceAfterZero(true) : -1;
    int missingFace = knowsFaces ? FirstFaceAfterZero(false) : -1;
    struct Row {
        std::string keys;
        int fontIndex, fontSize, colorIndex;
        bool autowrap;
    };
    std::vector<Row> rows = {
        {"", 0, 18, 0, false},
        {"FontSize=30", 0, 22, 0, false},
        {"FontSize=5", 0, 10, 0, false},
        {"FontSize=14", 0, 14, 0, false},
        {"FontSize=-1", 0, 10, 0, false},
        {"FontSize=abc", 0, 10, 0, false},
        {"ColorIndex=9", 0, 18, 5, false},
        {"ColorIndex=-2", 0, 18, 0, false},
        {"ColorIndex=3", 0, 18, 3, false},
        {"Autowrap=1", 0, 18, 0, true},
        {"Autowrap=2", 0, 18, 0, false},
        {"Autowrap=-1", 0, 18, 0, false},
        {"FontIndex=-4", 0, 18, 0, false},
        // Numbers past 32 bits clamp as they are; cut to 32 bits they would not.
        {"FontSize=4294967295", 0, 22, 0, false},
        {"FontSize=-4294967274", 0, 10, 0, false},
        {"Autowrap=4294967297", 0, 18, 0, false},
        {"ColorIndex=123456789012345678901234567890", 0, 18, 5, false},
    };
    if (knowsFaces) {
        rows.push_back({"FontIndex=99", installed[5] ? 5 : 0, 18, 0, false});
        rows.push_back(
            {"FontIndex=4\r\nFontSize=12\r\nColorIndex=2\r\nAutowrap=1", installed[4] ? 4 : 0, 12, 2, true});
    }
    if (installedFace > 0)
        rows.push_back({"FontIndex=" + std::to_string(installedFace), installedFace, 18, 0, false});
    if (missingFace > 0) rows.push_back({"FontIndex=" + std::to_string(missingFace), 0, 18, 0, false});

    for (const Row& row : rows) {
        std::string file = "[UI]\r\n" + row.keys + "\r\n";
        // Written faster than the clock ticks, two files could look the
        // same to the profile cache, which goes by their time: flush it.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, SettingsPath().c_str());
        WriteBytes(SettingsPath(), file);
        ResetViewSettings();
        LoadSettings();
        EXPECT_EQ(FontIndex, row.fontIndex) << row.keys;
        EXPECT_EQ(FontSize, row.fontSize) << row.keys;
        EXPECT_EQ(ColorIndex, row.colorIndex) << row.keys;
        EXPECT_EQ(Autowrap, row.autowrap) << row.keys;
        EXPECT_EQ(ReadBytes(SettingsPath()), file) << "reading does not write: " << row.keys;
    }
    DeleteFileW(SettingsPath().c_str());
}

// A missing key keeps the value the setting had; "Autowrap" is off then.
TEST(LoadSettings, MissingKeysKeepTheCurrentValues) {
    WriteBytes(SettingsPath(), "[Other]\r\nFontSize=11\r\n");
    FontIndex = 2;
    FontSize = 13;
    ColorIndex = 4;
    Autowrap = true;
    LoadSettings();
    EXPECT_EQ(FontSize, 13);
    EXPECT_EQ(ColorIndex, 4);
    EXPECT_FALSE(Autowrap);
    DeleteFileW(SettingsPath().c_str());
    ResetViewSettings();
}

// ---- The first run ----

using FirstRun = AppFixture;

TEST_F(FirstRun, WritesTheFourDefaultsAndStartsWithThem) {
    ASSERT_EQ(GetFileAttributesW(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
    StartApp();
    EXPECT_EQ(ReadBytes(SettingsPath()), DefaultFile);
    EXPECT_EQ(CheckedId(OPTIONS_POS_FONT, IDM_FONT_FIRST, IDM_FONT_LAST), static_cast<UINT>(IDM_FONT_FIRST));
    EXPECT_EQ(CheckedId(OPTIONS_POS_SIZE, IDM_SIZE_FIRST, IDM_SIZE_LAST), IDM_SIZE_FIRST + 8u);
    EXPECT_EQ(CheckedId(OPTIONS_POS_THEME, IDM_THEME_FIRST, IDM_THEME_LAST),
              static_cast<UINT>(IDM_THEME_FIRST));
    EXPECT_EQ(CheckedId(OPTIONS_POS_ZOOM, IDM_ZOOM_100, IDM_ZOOM_300), static_cast<UINT>(IDM_ZOOM_100));
    EXPECT_FALSE(WrapIsChecked());
    LOGFONTW font = {};
    GetObjectW(EditorFont, sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"Consolas");
}

// ---- Settings read at start-up ----

// The file is written by each test before the program starts, so the
// fixture keeps it; its tear-down removes it, read-only or not.
class StoredSettings : public AppFixture {
protected:
    StoredSettings() { keepSettings = true; }
    void TearDown() override {
        AppFixture::TearDown();
        SetFileAttributesW(SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(SettingsPath().c_str());
    }
    void Store(const std::string& keys) { WriteBytes(SettingsPath(), "[UI]\r\n" + keys); }
};

TEST_F(StoredSettings, ClampedValuesAreAppliedAtStart) {
    Store("FontIndex=0\r\nFontSize=30\r\nColorIndex=9\r\nAutowrap=2\r\n");
    StartApp();
    EXPECT_EQ(CheckedId(OPTIONS_POS_SIZE, IDM_SIZE_FIRST, IDM_SIZE_LAST), static_cast<UINT>(IDM_SIZE_LAST));
    EXPECT_EQ(CheckedId(OPTIONS_POS_THEME, IDM_THEME_FIRST, IDM_THEME_LAST),
              static_cast<UINT>(IDM_THEME_LAST));
    EXPECT_FALSE(WrapIsChecked());
    LOGFONTW font = {};
    GetObjectW(EditorFont, sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(22, GetDpiForWindow(MainWindow), 96));
    EXPECT_EQ(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(StoredSettings, WrapStoredOnWrapsFromTheStart) {
    Store("Autowrap=1\r\n");
    StartApp();
    EXPECT_TRUE(Autowrap);
    EXPECT_TRUE(WrapIsChecked());
    std::wstring longLine(3000, L'x');
    for (size_t i = 7; i < longLine.size(); i += 8) longLine[i] = L' ';
    SetEditorText(longLine);
    EXPECT_GT(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0), 1) << "the one long line wraps";
}

TEST_F(StoredSettings, UninstalledFaceStartsAtZeroAndIsSavedAsZero) {
    SKIP_WITHOUT_FONT_LIST();
    int missingFace = FirstFaceAfterZero(false);
    if (missingFace < 0) GTEST_SKIP() << "every face of the table is installed here";
    Store("FontIndex=" + std::to_string(missingFace) + "\r\nFontSize=18\r\nColorIndex=0\r\nAutowrap=0\r\n");
    StartApp();
    EXPECT_EQ(FontIndex, 0);
    EXPECT_EQ(CheckedId(OPTIONS_POS_FONT, IDM_FONT_FIRST, IDM_FONT_LAST), static_cast<UINT>(IDM_FONT_FIRST));
    CloseWindow();
    EXPECT_EQ(StoredValue(L"FontIndex"), L"0");
}

TEST_F(StoredSettings, InstalledFaceIsKept) {
    SKIP_WITHOUT_FONT_LIST();
    int installedFace = FirstFaceAfterZero(true);
    if (installedFace < 0) GTEST_SKIP() << "no face of the table but the first is installed here";
    Store("FontIndex=" + std::to_string(installedFace) + "\r\n");
    StartApp();
    EXPECT_EQ(CheckedId(OPTIONS_POS_FONT, IDM_FONT_FIRST, IDM_FONT_LAST), IDM_FONT_FIRST + installedFace);
    LOGFONTW font = {};
    GetObjectW(EditorFont, sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, FontTable[installedFace]);
}

// The tests run as root, which Wine lets write to a read-only file: this
// proves the program's own check of the attribute.
TEST_F(StoredSettings, ReadOnlyFileIsNeitherAppliedNorRewritten) {
    const std::string stored = "[UI]\r\nFontIndex=0\r\nFontSize=12\r\nColorIndex=3\r\nAutowrap=1\r\n";
    WriteBytes(SettingsPath(), stored);
    ASSERT_TRUE(SetFileAttributesW(SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(OpenSettingsFile(), L"");
    StartApp();
    EXPECT_EQ(FontSize, 18);
    EXPECT_EQ(ColorIndex, 0);
    EXPECT_FALSE(Autowrap);
    EXPECT_FALSE(WrapIsChecked());
    SendCommand(IDM_THEME_FIRST + 2);
    SendCommand(IDM_SIZE_FIRST + 1);
    CloseWindow();
    EXPECT_EQ(ReadBytes(SettingsPath()), stored);
    EXPECT_TRUE(GetFileAttributesW(SettingsPath().c_str()) & FILE_ATTRIBUTE_READONLY);
}

// ---- Writing at exit ----

using SavedSettings = AppFixture;

TEST_F(SavedSettings, AllFourKeysAreWrittenWhenTheWindowCloses) {
    StartApp();
    SendCommand(IDM_FONT_FIRST + 2);
    SendCommand(IDM_SIZE_FIRST + 4);
    SendCommand(IDM_THEME_FIRST + 4);
    SendCommand(IDM_OPTIONS_AUTOWRAP);
    EXPECT_EQ(ReadBytes(SettingsPath()), DefaultFile) << "changing a setting does not write the file";
    CloseWindow();
    EXPECT_EQ(ReadBytes(SettingsPath()),
              "[UI]\r\nFontIndex=2\r\nFontSize=14\r\nColorIndex=4\r\nAutowrap=1\r\n");
}

// A WM_CLOSE sent by another program takes the same road.
TEST_F(SavedSettings, CloseMessageWritesThem) {
    StartApp();
    SendCommand(IDM_SIZE_FIRST + 12);
    DialogWatcher watcher(Press(IDNO));
    SendMessageW(MainWindow, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(StoredValue(L"FontSize"), L"22");
}

TEST_F(SavedSettings, ExitCommandWritesThemToo) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 1);
    DialogWatcher watcher(Press(IDNO));
    SendCommand(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_EQ(StoredValue(L"ColorIndex"), L"1");
    EXPECT_EQ(StoredValue(L"FontSize"), L"18");
}

TEST_F(SavedSettings, SaveRecreatesAMissingFileFirst) {
    StartApp();
    DeleteFileW(SettingsPath().c_str());
    SendCommand(IDM_SIZE_FIRST);
    SaveSettings();
    EXPECT_EQ(ReadBytes(SettingsPath()),
              "[UI]\r\nFontIndex=0\r\nFontSize=10\r\nColorIndex=0\r\nAutowrap=0\r\n");
}

// Ending the program any other way than closing its window keeps the old file.
TEST_F(SavedSettings, DestroyingTheWindowWithoutClosingWritesNothing) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 5);
    StopApp();
    EXPECT_EQ(ReadBytes(SettingsPath()), DefaultFile);
}

// The zoom is not among the settings: every run starts at 100 %.
TEST_F(SavedSettings, ZoomIsNotKeptFromOneRunToTheNext) {
    StartApp();
    SendCommand(IDM_ZOOM_300);
    CloseWindow();
    EXPECT_EQ(StoredKeys(),
              (std::vector<std::wstring>{L"FontIndex=0", L"FontSize=18", L"ColorIndex=0", L"Autowrap=0"}));

    StopApp();
    StartApp();
    EXPECT_EQ(ZoomPercent, 100);
    int numerator = 0, denominator = 0;
    SendMessageW(EditControl, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    EXPECT_TRUE(numerator == denominator) << numerator << "/" << denominator;
    EXPECT_EQ(CheckedId(OPTIONS_POS_ZOOM, IDM_ZOOM_100, IDM_ZOOM_300), static_cast<UINT>(IDM_ZOOM_100));
}
