// Tavilo tried as a new user would: the built program started on its own,
// driven by key presses and clicks, judged by what its windows show and
// what it leaves on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"
#include "input.h"
#include "screen.h"
#include "session.h"

namespace {

std::string Shown(const std::wstring& text) { return "\"" + Utf8(text) + "\""; }

class UserScenario : public ::testing::Test {
protected:
    void SetUp() override {
        SaveScreenshotsOfFailures();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test->name();
        folder_ = TestProgramFolder() + L"scratch\\" + std::wstring(name.begin(), name.end()) + L"\\";
        RemoveTree(folder_);
        CreateDirectoryW((TestProgramFolder() + L"scratch").c_str(), nullptr);
        CreateDirectoryW(folder_.c_str(), nullptr);
        // The folder a user unpacks the program into: tavilo.exe alone.
        std::wstring built = TestProgramFolder() + L"..\\..\\tavilo.exe";
        ASSERT_TRUE(CopyFileW(built.c_str(), Path(L"tavilo.exe").c_str(), FALSE)) << Utf8(built);
    }

    void TearDown() override {
        tavilo_.Kill();
        if (!HasFailure()) RemoveTree(folder_);
    }

    std::wstring Path(const std::wstring& name) const { return folder_ + name; }

    // Starts the program; with a file name, as "tavilo.exe file".
    void StartTavilo(const std::wstring& fileName = L"") {
        std::wstring arguments = fileName.empty() ? L"" : L"\"" + Path(fileName) + L"\"";
        ASSERT_TRUE(tavilo_.Start(folder_, arguments)) << "the main window did not come up";
    }

    bool TitleBecomes(const std::wstring& title) {
        return WaitUntil([&] { return tavilo_.Title() == title; });
    }

    bool StatusPartBecomes(int part, const std::wstring& text) {
        return WaitUntil([&] { return tavilo_.StatusPart(part) == text; });
    }

    // Closes the window with Alt+F4 and expects the process to end without
    // showing anything first. Under load, Wine can drop an Alt+F4 pressed just as its window gets
    // the keyboard back from a closing dialog; a person would press it again.
    void CloseWithoutPrompt() {
        bool asked = false;
        bool ended = false;
        for (int press = 0; press < 2 && !ended && !asked; ++press) {
            PressKeys({VK_MENU, VK_F4});
            WaitUntil(
                [&] {
                    asked = asked || !tavilo_.Dialogs().empty();
                    return asked || !tavilo_.IsRunning();
                },
                press == 0 ? 3000 : 10000);
            ended = !tavilo_.IsRunning();
        }
        EXPECT_FALSE(asked) << "a box was shown on closing";
        EXPECT_TRUE(ended) << "the program did not end";
    }

    TaviloSession tavilo_;
    std::wstring folder_;
};

// The rich edit control counts a line break as one character; files and
// WM_GETTEXT carry it as CR LF.
int ControlPosition(const std::wstring& text, size_t index) {
    int position = 0;
    for (size_t i = 0; i < index; ++i) {
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) ++position;
    }
    return position;
}

TEST_F(UserScenario, LineTypedIntoTheFileFromTheCommandLineIsSavedWithCtrlS) {
    WriteBytes(Path(L"letter.txt"), Utf8(L"Dear Sam,\nthanks for the café tip.\n"));
    StartTavilo(L"letter.txt");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - letter.txt")) << Shown(tavilo_.Title());

    PressKeys({VK_CONTROL, VK_END});
    TypeText(L"See you in Zürich!\n");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - letter.txt *(unsaved)")) << Shown(tavilo_.Title());
    PressKeys({VK_CONTROL, 'S'});
    EXPECT_TRUE(TitleBecomes(L"Tavilo - letter.txt")) << Shown(tavilo_.Title());
    // The old text and the new line, UTF-8 without a mark, CR LF throughout.
    std::string expected = Utf8(L"Dear Sam,\r\nthanks for the café tip.\r\nSee you in Zürich!\r\n");
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(Path(L"letter.txt")) == expected; }))
        << ReadBytes(Path(L"letter.txt"));
    EXPECT_TRUE(tavilo_.Dialogs().empty()) << "saving a file that has a name asked something";
    CloseWithoutPrompt();
}

TEST_F(UserScenario, NewTextIsSavedThroughTheSaveAsDialogWithTxtAdded) {
    StartTavilo();
    TypeText(L"Shopping list\nbread\n");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - New Document *(unsaved)")) << Shown(tavilo_.Title());

    PressKeys({VK_CONTROL, 'S'});
    ASSERT_TRUE(tavilo_.WaitForDialog(L"Save As").window) << "no Save As dialog came up";
    TypeText(Path(L"shopping") + L"\n");
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(Path(L"shopping.txt")) == "Shopping list\r\nbread\r\n"; }))
        << ReadBytes(Path(L"shopping.txt"));
    EXPECT_FALSE(FileExists(Path(L"shopping")));
    EXPECT_TRUE(TitleBecomes(L"Tavilo - shopping.txt")) << Shown(tavilo_.Title());
    EXPECT_TRUE(tavilo_.WaitForMainWindowInFront());
    CloseWithoutPrompt();
}

TEST_F(UserScenario, ClosingUnsavedTextAsksCancelStaysAndNoWritesNothing) {
    StartTavilo();
    TypeText(L"a thought");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - New Document *(unsaved)")) << Shown(tavilo_.Title());

    PressKeys({VK_MENU, VK_F4});
    ShownDialog prompt = tavilo_.WaitForDialog(L"Confirm");
    ASSERT_TRUE(prompt.window) << "closing did not ask";
    EXPECT_EQ(prompt.text, L"Save changes for New Document?");
    EXPECT_EQ(prompt.buttons, (std::vector<std::wstring>{L"Yes", L"No", L"Cancel"}));
    ASSERT_TRUE(ClickButton(prompt, L"Cancel"));
    EXPECT_TRUE(tavilo_.WaitForMainWindowInFront()) << "the window did not come back";
    EXPECT_TRUE(tavilo_.IsRunning());
    EXPECT_TRUE(tavilo_.Dialogs().empty());
    // The window comes back ready for typing.
    TypeText(L" or two");
    EXPECT_TRUE(WaitUntil([&] { return tavilo_.EditorText() == L"a thought or two"; }))
        << Shown(tavilo_.EditorText());

    PressKeys({VK_MENU, VK_F4});
    prompt = tavilo_.WaitForDialog(L"Confirm");
    ASSERT_TRUE(prompt.window) << "closing again did not ask again";
    ASSERT_TRUE(ClickButton(prompt, L"No"));
    EXPECT_TRUE(tavilo_.WaitForExit()) << "No did not end the program";
    EXPECT_EQ(FilesIn(folder_), (std::vector<std::wstring>{L"settings.ini", L"tavilo.exe"}));
}

TEST_F(UserScenario, Utf16FileOpenedThroughTheOpenDialogIsSavedAsUtf8) {
    const std::wstring text = L"Grüße aus Köln\r\nzweite Zeile\r\n";
    WriteBytes(Path(L"wide.txt"), "\xFF\xFE" + Utf16LE(text));
    StartTavilo();

    PressKeys({VK_CONTROL, 'O'});
    ASSERT_TRUE(tavilo_.WaitForDialog(L"Open").window) << "no Open dialog came up";
    TypeText(Path(L"wide.txt") + L"\n");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - wide.txt")) << Shown(tavilo_.Title());
    EXPECT_EQ(tavilo_.EditorText(), text);
    EXPECT_TRUE(StatusPartBecomes(4, L" UTF-16LE ")) << Shown(tavilo_.StatusPart(4));

    ASSERT_TRUE(tavilo_.WaitForMainWindowInFront());
    PressKeys({VK_CONTROL, 'S'});
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(Path(L"wide.txt")) == Utf8(text); }))
        << ReadBytes(Path(L"wide.txt"));
    EXPECT_TRUE(StatusPartBecomes(4, L" UTF-8 ")) << Shown(tavilo_.StatusPart(4));
    EXPECT_TRUE(tavilo_.Dialogs().empty());
}

TEST_F(UserScenario, FindReplaceAllAndGoToLineFromTheKeyboard) {
    const std::wstring poem =
        L"The crow flew east\r\nover the hill\r\nthe crow came back\r\nas night fell\r\n"
        L"and the hill slept\r\nwith the crow\r\n";
    WriteBytes(Path(L"poem.txt"), Utf8(poem));
    StartTavilo(L"poem.txt");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - poem.txt")) << Shown(tavilo_.Title());

    // The box opens with the word at the caret, selected: typing replaces it.
    PressKeys({VK_CONTROL, 'F'});
    ASSERT_TRUE(tavilo_.WaitForDialog(L"Find").window) << "no Find dialog came up";
    TypeText(L"hill\n");
    int hill = ControlPosition(poem, poem.find(L"hill"));
    EXPECT_TRUE(WaitUntil([&] { return tavilo_.Selection() == std::make_pair(hill, hill + 4); }))
        << tavilo_.Selection().first << ".." << tavilo_.Selection().second;
    Tap(VK_ESCAPE);
    ASSERT_TRUE(tavilo_.WaitForMainWindowInFront()) << "Esc did not close the Find dialog";

    PressKeys({VK_CONTROL, 'H'});
    ShownDialog replace = tavilo_.WaitForDialog(L"Find & Replace");
    ASSERT_TRUE(replace.window) << "no Find & Replace dialog came up";
    TypeText(L"crow\traven");
    ASSERT_TRUE(ClickButton(replace, L"Replace All"));
    std::wstring replaced = poem;
    for (size_t at = replaced.find(L"crow"); at != std::wstring::npos; at = replaced.find(L"crow", at)) {
        replaced.replace(at, 4, L"raven");
    }
    EXPECT_TRUE(WaitUntil([&] { return tavilo_.EditorText() == replaced; })) << Utf8(tavilo_.EditorText());
    Tap(VK_ESCAPE);
    ASSERT_TRUE(tavilo_.WaitForMainWindowInFront()) << "Esc did not close the Find & Replace dialog";

    PressKeys({VK_CONTROL, 'G'});
    ASSERT_TRUE(tavilo_.WaitForDialog(L"Go To Line").window) << "no Go To Line dialog came up";
    TypeText(L"5\n");
    EXPECT_TRUE(tavilo_.WaitForMainWindowInFront()) << "Enter did not close the Go To Line dialog";
    int lineFive = ControlPosition(replaced, replaced.find(L"and the hill"));
    EXPECT_TRUE(WaitUntil([&] { return tavilo_.Selection() == std::make_pair(lineFive, lineFive); }))
        << tavilo_.Selection().first << ".." << tavilo_.Selection().second;
    EXPECT_EQ(tavilo_.CaretLine(), 5);
    EXPECT_TRUE(StatusPartBecomes(0, L" Line 5  Col 1  Sel 0 ")) << Shown(tavilo_.StatusPart(0));
}

// Options, Font, Size, Zoom, Theme: the theme submenu is the fourth, and
// "Dark Blue 1" its third entry.
constexpr COLORREF DarkBlueBackground = RGB(4, 6, 8);
constexpr COLORREF DarkBlueOneText = RGB(245, 245, 245);

// Pixels in the text colour along the editor's first line: the letters of
// "first line" as a person reads them.
int TextPixelsOnFirstLine(const TaviloSession& tavilo, COLORREF colour) {
    RECT area = tavilo.EditorArea();
    RECT firstLine = {area.left, area.top, area.left + 300, area.top + 30};
    return CountScreenPixels(firstLine, colour);
}

TEST_F(UserScenario, WrapZoomAndDarkThemeFromTheKeyboardSurviveARestart) {
    WriteBytes(Path(L"notes.txt"), "first line\r\nsecond line\r\nthird line\r\n");
    StartTavilo(L"notes.txt");
    ASSERT_TRUE(StatusPartBecomes(1, L" Auto-Wrap OFF")) << Shown(tavilo_.StatusPart(1));

    // The status bar shows each change at once, the caret unmoved.
    PressKeys({VK_CONTROL, 'W'});
    EXPECT_TRUE(StatusPartBecomes(1, L" Auto-Wrap ON")) << Shown(tavilo_.StatusPart(1));
    PressKeys({VK_CONTROL, VK_ADD});
    EXPECT_TRUE(StatusPartBecomes(1, L" Auto-Wrap ON")) << Shown(tavilo_.StatusPart(1));
    EXPECT_TRUE(StatusPartBecomes(2, L" Zoom: 110% ")) << Shown(tavilo_.StatusPart(2));

    Tap(VK_MENU);
    TypeText(L"ot");
    Tap(VK_DOWN, 2);
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(tavilo_.EditorBackgroundPoint()) == DarkBlueBackground; }))
        << "editor background " << std::hex << ScreenPixel(tavilo_.EditorBackgroundPoint());
    EXPECT_TRUE(WaitUntil([&] { return TextPixelsOnFirstLine(tavilo_, DarkBlueOneText) > 20; }))
        << "the text is not drawn in the theme's colour";

    CloseWithoutPrompt();
    EXPECT_EQ(GetPrivateProfileIntW(L"UI", L"ColorIndex", -1, Path(L"settings.ini").c_str()), 2);
    EXPECT_EQ(GetPrivateProfileIntW(L"UI", L"Autowrap", -1, Path(L"settings.ini").c_str()), 1);

    StartTavilo(L"notes.txt");
    EXPECT_TRUE(StatusPartBecomes(1, L" Auto-Wrap ON")) << Shown(tavilo_.StatusPart(1));
    EXPECT_TRUE(StatusPartBecomes(2, L" Zoom: 100% ")) << Shown(tavilo_.StatusPart(2));
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(tavilo_.EditorBackgroundPoint()) == DarkBlueBackground; }))
        << "editor background " << std::hex << ScreenPixel(tavilo_.EditorBackgroundPoint());
    // The file opened at the start is readable: light letters on the dark ground.
    EXPECT_TRUE(WaitUntil([&] { return TextPixelsOnFirstLine(tavilo_, DarkBlueOneText) > 20; }))
        << "the text is not drawn in the theme's colour";
}

// ---- What the screen shows after loads and size changes ----

// The screen's pixels of an area once two looks a moment apart agree:
// whatever the program was painting is done.
std::vector<COLORREF> SettledPixels(const RECT& area) {
    std::vector<COLORREF> last = ScreenPixels(area), now;
    for (int tries = 0; tries < 20; ++tries) {
        Sleep(150);
        now = ScreenPixels(area);
        if (now == last) break;
        last = now;
    }
    return now;
}

// The editor's vertical and horizontal scroll bars as the screen shows them.
std::vector<COLORREF> ScrollBarPixels(const TaviloSession& tavilo) {
    RECT window = tavilo.EditorWindowArea(), client = tavilo.EditorArea();
    std::vector<COLORREF> pixels = SettledPixels({client.right, window.top, window.right, client.bottom});
    std::vector<COLORREF> horizontal = SettledPixels({window.left, client.bottom, client.right, window.bottom});
    pixels.insert(pixels.end(), horizontal.begin(), horizontal.end());
    return pixels;
}

std::string LongLines(int count, const char* stem) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += stem + std::to_string(i) + " " + std::string(300, 'x') + "\r\n";
    return text;
}

// Both scroll bars, drawn as a resize draws them (the window made narrower
// and given its size back, which draws the bars anew).
TEST_F(UserScenario, ScrollBarsAreDrawnAfterEveryLoad) {
    WriteBytes(Path(L"first.txt"), LongLines(400, "first "));
    WriteBytes(Path(L"second.txt"), LongLines(2100, "second "));
    StartTavilo(L"first.txt");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - first.txt")) << Shown(tavilo_.Title());
    RECT window = tavilo_.EditorWindowArea(), client = tavilo_.EditorArea();
    ASSERT_LT(client.right, window.right) << "the long lines need a vertical bar";
    ASSERT_LT(client.bottom, window.bottom) << "the wide lines need a horizontal bar";

    auto expectBarsAsAfterAResize = [&](const char* when) {
        std::vector<COLORREF> shown = ScrollBarPixels(tavilo_);
        RECT frame = tavilo_.MainWindowArea();
        tavilo_.ResizeTo(frame.right - frame.left - 40, frame.bottom - frame.top);
        tavilo_.ResizeTo(frame.right - frame.left, frame.bottom - frame.top);
        EXPECT_TRUE(shown == ScrollBarPixels(tavilo_)) << "the scroll bars " << when << " were not drawn";
    };
    expectBarsAsAfterAResize("after the load from the command line");

    // The second file opens while the first shows its end: its bars start at the top.
    PressKeys({VK_CONTROL, VK_END});
    PressKeys({VK_CONTROL, 'O'});
    ASSERT_TRUE(tavilo_.WaitForDialog(L"Open").window) << "no Open dialog came up";
    TypeText(Path(L"second.txt") + L"\n");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - second.txt")) << Shown(tavilo_.Title());
    ASSERT_TRUE(tavilo_.WaitForMainWindowInFront());
    expectBarsAsAfterAResize("after File, Open");

    // A Replace All over more than 2,000 lines puts a fresh editor in place.
    PressKeys({VK_CONTROL, 'H'});
    ShownDialog replace = tavilo_.WaitForDialog(L"Find & Replace");
    ASSERT_TRUE(replace.window) << "no Find & Replace dialog came up";
    TypeText(L"second\t2nd");
    ASSERT_TRUE(ClickButton(replace, L"Replace All"));
    ASSERT_TRUE(TitleBecomes(L"Tavilo - second.txt *(unsaved)")) << Shown(tavilo_.Title());
    Tap(VK_ESCAPE);
    ASSERT_TRUE(tavilo_.WaitForMainWindowInFront());
    expectBarsAsAfterAResize("after Replace All");
}

// Each part of the status bar lies inside the bar and shows its text, and
// the last ends where the size grip begins.
void ExpectStatusBarDrawn(const TaviloSession& tavilo, const char* when) {
    RECT bar = tavilo.StatusBarArea();
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int grip = GetSystemMetrics(SM_CXVSCROLL);
    // The bar follows the window a moment after it has its new size.
    EXPECT_TRUE(WaitUntil(
        [&] {
            bar = tavilo.StatusBarArea();
            return std::abs(tavilo.StatusPartArea(4).right - (bar.right - grip)) <= 4;
        },
        5000))
        << when << ": the parts are not laid out for the bar's width";
    for (int part = 0; part < 5; ++part) {
        RECT area = tavilo.StatusPartArea(part);
        EXPECT_TRUE(area.left >= bar.left && area.right <= bar.right && area.right > area.left)
            << when << ": part " << part << " is not in the bar";
        RECT inside = {area.left + 3, area.top + 3, std::min(area.right, bar.right) - 3, area.bottom - 3};
        if (inside.right <= inside.left) continue;
        std::vector<COLORREF> pixels = SettledPixels(inside);
        bool ink = std::any_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c != face; });
        EXPECT_TRUE(ink) << when << ": part " << part << " shows no text";
    }
}

TEST_F(UserScenario, StatusBarIsLaidOutAfterEverySizeChange) {
    WriteBytes(Path(L"notes.txt"), "a few words\r\n");
    StartTavilo(L"notes.txt");
    ASSERT_TRUE(StatusPartBecomes(4, L" UTF-8 ")) << Shown(tavilo_.StatusPart(4));
    ExpectStatusBarDrawn(tavilo_, "at start-up");

    PressKeys({VK_MENU, VK_SPACE});
    TypeText(L"x");  // the system menu's Maximize
    ASSERT_TRUE(WaitUntil([&] { return tavilo_.IsMaximized(); })) << "the window was not maximised";
    ExpectStatusBarDrawn(tavilo_, "maximised");

    PressKeys({VK_MENU, VK_SPACE});
    TypeText(L"r");  // Restore
    ASSERT_TRUE(WaitUntil([&] { return !tavilo_.IsMaximized(); })) << "the window was not restored";
    ExpectStatusBarDrawn(tavilo_, "restored");

    RECT frame = tavilo_.MainWindowArea();
    tavilo_.ResizeTo(420, frame.bottom - frame.top);
    tavilo_.ResizeTo(frame.right - frame.left, frame.bottom - frame.top);
    ExpectStatusBarDrawn(tavilo_, "made narrow and wide again");
}

// A file that takes the control seconds to take in: lines with digits.
std::string LogLines(int count) {
    std::string text;
    char line[128];
    for (int i = 0; i < count; ++i) {
        snprintf(line, sizeof(line), "2026-12-09 03:%02d:%02d.%03d INFO worker-%d request %d done in %d ms\r\n",
                 i / 60 % 60, i % 60, i % 1000, i % 17, 100000 + i, i % 97);
        text += line;
    }
    return text;
}

// (The wait cursor is checked in-process: a cursor handle means nothing
// in another process under Wine.)
TEST_F(UserScenario, ALongLoadShowsNoStaleLineNumbers) {
    WriteBytes(Path(L"old.txt"), LongLines(200, "old "));
    WriteBytes(Path(L"big.txt"), LogLines(15000));
    StartTavilo(L"old.txt");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - old.txt")) << Shown(tavilo_.Title());
    PressKeys({VK_CONTROL, VK_END});
    ASSERT_TRUE(StatusPartBecomes(0, L" Line 201  Col 1  Sel 0 ")) << Shown(tavilo_.StatusPart(0));
    RECT gutter = tavilo_.GutterArea();
    std::vector<COLORREF> oldNumbers = SettledPixels(gutter);

    PressKeys({VK_CONTROL, 'O'});
    ASSERT_TRUE(tavilo_.WaitForDialog(L"Open").window) << "no Open dialog came up";
    TypeText(Path(L"big.txt") + L"\n");
    bool busy = WaitUntil([&] { return tavilo_.IsBusy(); }, 20000);
    ASSERT_TRUE(busy) << "the load was over before it could be watched";
    std::vector<COLORREF> duringTheLoad = ScreenPixels(gutter);
    bool stillBusy = tavilo_.IsBusy();
    EXPECT_TRUE(WaitUntil([&] { return tavilo_.Title() == L"Tavilo - big.txt"; }, 60000))
        << Shown(tavilo_.Title());
    ASSERT_TRUE(stillBusy) << "the load ended while the screen was read";
    EXPECT_FALSE(duringTheLoad == oldNumbers) << "the old file's line numbers stayed during the load";
}

// The emergency copies the program has left in the folder.
std::vector<std::wstring> RecoveredCopies(const std::wstring& folder) {
    std::vector<std::wstring> copies;
    for (const std::wstring& name : FilesIn(folder)) {
        if (name.rfind(L"recovered-", 0) == 0) copies.push_back(name);
    }
    return copies;
}

// "recovered-YYYYMMDD-HHMMSS.txt"
bool IsCopyName(const std::wstring& name) {
    const std::wstring pattern = L"recovered-########-######.txt";
    if (name.size() != pattern.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (pattern[i] == L'#' ? !iswdigit(name[i]) : name[i] != pattern[i]) return false;
    }
    return true;
}

TEST_F(UserScenario, CrashKeepsTheUnsavedTextAndTheNextStartSaysWhereOnce) {
    StartTavilo();
    TypeText(L"draft one\ndraft two ");
    ASSERT_TRUE(TitleBecomes(L"Tavilo - New Document *(unsaved)")) << Shown(tavilo_.Title());
    // Under Wine, an Arabic vowel mark after a Latin letter faults in the
    // text shaping (usp10's mark-to-ligature positioning); Windows shapes
    // it, and then the program is made to fault from outside.
    TypeText(L"x\u064B");
    bool inputFaulted = tavilo_.WaitForExit(5000);
    if (!inputFaulted) {
        ASSERT_TRUE(tavilo_.InjectFault());
    }
    ASSERT_TRUE(tavilo_.WaitForExit()) << "the program did not end";
    EXPECT_EQ(tavilo_.ExitCode(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION))
        << std::hex << tavilo_.ExitCode();
    std::cout << (inputFaulted ? "the typed mark faulted\n" : "a fault was injected\n");

    std::vector<std::wstring> copies = RecoveredCopies(folder_);
    ASSERT_EQ(copies.size(), 1u) << "files: " << FilesIn(folder_).size();
    EXPECT_TRUE(IsCopyName(copies[0])) << Utf8(copies[0]);
    EXPECT_EQ(ReadBytes(Path(copies[0])), Utf8(L"draft one\r\ndraft two x\u064B"));

    ASSERT_TRUE(tavilo_.Launch(folder_)) << "the main window did not come up";
    ShownDialog report = tavilo_.WaitForDialog(L"Warning");
    ASSERT_TRUE(report.window) << "the next start did not report the copy";
    EXPECT_EQ(report.text, L"Tavilo was closed unexpectedly. Your unsaved text was saved to:\n" +
                               Path(copies[0]) + L"\n\nOpen it now?");
    EXPECT_EQ(report.buttons, (std::vector<std::wstring>{L"Yes", L"No"}));
    ASSERT_TRUE(ClickButton(report, L"No"));
    EXPECT_TRUE(tavilo_.WaitForMainWindowInFront()) << "the window did not come back";
    EXPECT_EQ(tavilo_.Title(), L"Tavilo - New Document");
    CloseWithoutPrompt();

    StartTavilo();
    EXPECT_TRUE(tavilo_.Dialogs().empty()) << "the copy was reported twice";
    EXPECT_EQ(RecoveredCopies(folder_), copies);
    CloseWithoutPrompt();
}

}  // namespace
