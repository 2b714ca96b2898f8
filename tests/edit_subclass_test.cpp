// The editor's subclass: the mouse wheel, erasing, dropped files, and the
// keys that would format a plain-text document.
#include "harness.h"

#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

void HoldControl(bool down) {
    BYTE state[256] = {};
    if (down) state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
}

void Wheel(int delta) {
    SendMessageW(EditControl, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
    PumpMessages();
}

int FirstVisibleLine() { return static_cast<int>(SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0)); }

void ScrollToTop() {
    SendMessageW(EditControl, EM_SETSEL, 0, 0);
    POINT origin = {0, 0};
    SendMessageW(EditControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&origin));
    PumpMessages();
}

std::wstring NumberedLines(int count) {
    std::wstring text;
    for (int i = 1; i <= count; ++i) text += L"line " + std::to_wstring(i) + L"\r";
    return text;
}

}  // namespace

using MouseWheel = AppFixture;

// Where the view stands after EM_LINESCROLL by `lines` from the top; Wine's
// control does not always land on exactly `lines`, so the wheel is compared
// with the message it sends rather than with a line number.
int LineAfterScrollingFromTop(int lines) {
    ScrollToTop();
    SendMessageW(EditControl, EM_LINESCROLL, 0, lines);
    return FirstVisibleLine();
}

// Steps due after each message: lines with the row's lines a notch, or
// zoom steps, one a notch.
TEST(WheelAccumulator, StepsComeFromTheTravelAccumulatedInOneDirection) {
    struct Turn {
        int delta;
        bool zoom;
    };
    const struct {
        const char* name;
        int linesPerNotch;
        std::vector<Turn> turns;
        std::vector<int> steps;
    } cases[] = {
        {"one notch", 3, {{120, false}}, {3}},
        {"a third of a notch three times", 3, {{40, false}, {40, false}, {40, false}}, {1, 1, 1}},
        {"-15 eight times", 3, std::vector<Turn>(8, {-15, false}), {0, 0, -1, 0, 0, -1, 0, -1}},
        {"half notches, 5 lines a notch", 5, {{60, false}, {60, false}}, {2, 3}},
        {"two notches at once", 3, {{-240, false}}, {-6}},
        {"turning back drops the remainder", 3, {{100, false}, {-20, false}, {-100, false}}, {2, 0, -3}},
        {"Ctrl on and off drops it", 3, {{100, false}, {100, true}, {20, true}, {100, false}}, {2, 0, 1, 2}},
        {"a pinch zooms a step per notch", 1, std::vector<Turn>(8, {30, true}), {0, 0, 0, 1, 0, 0, 0, 1}},
        {"a pinch back", 1, {{-70, true}, {-70, true}, {-90, true}}, {0, -1, 0}},
        {"a wheel set to no lines", 0, {{120, false}}, {0}},
    };
    for (const auto& c : cases) {
        WheelTravel travel;
        std::vector<int> steps;
        for (const Turn& turn : c.turns)
            steps.push_back(AccumulateWheel(travel, turn.delta, turn.zoom, turn.zoom ? 1 : c.linesPerNotch));
        EXPECT_EQ(steps, c.steps) << c.name;
    }
}

// A touchpad's small deltas scroll once they make up a line; a pinch's
// burst of Ctrl+wheel messages zooms a step per notch of travel.
TEST_F(MouseWheel, SmallDeltasAddUpToScrollingAndZooming) {
    StartApp();
    SetEditorText(NumberedLines(400));
    UINT lines = 0;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_GT(lines, 0u);
    ASSERT_NE(lines, static_cast<UINT>(WHEEL_PAGESCROLL));
    int notch = LineAfterScrollingFromTop(static_cast<int>(lines));
    ASSERT_GT(notch, 0);

    HoldControl(false);
    ScrollToTop();
    for (int i = 0; i < 3; ++i) Wheel(-40);
    EXPECT_EQ(FirstVisibleLine(), notch);
    for (int i = 0; i < 3; ++i) Wheel(40);
    EXPECT_EQ(FirstVisibleLine(), 0);

    HoldControl(true);
    for (int i = 0; i < 8; ++i) Wheel(30);
    EXPECT_EQ(ZoomPercent, 120);
    Wheel(-480);
    EXPECT_EQ(ZoomPercent, 80);
    HoldControl(false);
}

TEST_F(MouseWheel, PageScrollSettingScrollsAScreenful) {
    StartApp();
    SetEditorText(NumberedLines(400));
    RECT client;
    GetClientRect(EditControl, &client);
    int page = client.bottom / LineHeight;
    ASSERT_GT(page, 3);
    int expected = LineAfterScrollingFromTop(page);

    UINT saved = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    HoldControl(false);
    ScrollToTop();
    Wheel(-120);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, saved, nullptr, 0);
    EXPECT_EQ(FirstVisibleLine(), expected);
}

TEST_F(MouseWheel, EditorNeverErasesItsBackground) {
    StartApp();
    HDC dc = GetDC(EditControl);
    EXPECT_EQ(SendMessageW(EditControl, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(EditControl, dc);
}

using DroppedFiles = AppFixture;

TEST_F(DroppedFiles, OneFileLoadsAndKeepsTheZoom) {
    StartApp();
    SendCommand(IDM_ZOOM_200);
    std::wstring path = WriteScratch(L"notes.txt", "dropped text");
    Drop({path});
    EXPECT_EQ(EditorText(), L"dropped text");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - notes.txt");
    EXPECT_EQ(DocumentPath, path);
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(ZoomPercent, 200);
}

TEST_F(DroppedFiles, ThreeFilesLoadInTurnAndTheLastStays) {
    StartApp();
    Drop(
        {WriteScratch(L"a.txt", "first"), WriteScratch(L"b.txt", "second"), WriteScratch(L"c.txt", "third")});
    EXPECT_EQ(EditorText(), L"third");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - c.txt");
}

// A file that cannot be loaded is reported, and the next one is tried.
TEST_F(DroppedFiles, AFileRefusedIsReportedAndTheNextIsTried) {
    StartApp();
    std::wstring large = ScratchPath(L"large.log");
    HANDLE file = CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = FileSizeLimit + 1;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    struct Row {
        const char* what;
        std::wstring refused;
        const wchar_t *text, *caption;
        const char* icon;
    } rows[] = {
        {"too large", large, L"File is too large to open. Choose a file smaller than 10MB", L"Warning",
         "warning"},
        {"missing", ScratchPath(L"gone.txt"), L"Failed to get file info.", L"Error", "error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DialogWatcher watcher(Press(IDOK));
        Drop({row.refused, WriteScratch(L"next.txt", row.what)});
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_TRUE(IsBox(watcher.Seen()[0], row.text, row.caption, row.icon));
        EXPECT_EQ(EditorText(), Widen(row.what));
    }
}

TEST_F(DroppedFiles, CancelInThePromptIgnoresTheRestOfTheDrop) {
    StartApp();
    SetEditorText(L"unsaved work");
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    DialogWatcher watcher(Press(IDCANCEL));
    Drop({WriteScratch(L"a.txt", "first"), WriteScratch(L"b.txt", "second")});
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsBox(watcher.Seen()[0], L"Save changes for New Document?", L"Confirm", "question"));
    EXPECT_EQ(EditorText(), L"unsaved work");
    EXPECT_TRUE(IsModified);
}

TEST_F(DroppedFiles, NoInThePromptLoadsAndLeavesTheDocumentUnmodified) {
    StartApp();
    SetEditorText(L"unsaved work");
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    DialogWatcher watcher(Press(IDNO));
    Drop({WriteScratch(L"a.txt", "first")});
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(EditorText(), L"first");
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - a.txt");
}

TEST_F(DroppedFiles, PathLongerThan260CharactersLoads) {
    StartApp();
    std::wstring folder = ScratchPath(L"");
    while (folder.size() < 240) {
        folder += std::wstring(40, L'd') + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    std::wstring path = folder + std::wstring(40, L'f') + L".txt";
    ASSERT_GT(path.size(), 260u);
    WriteBytes(path, "deep");
    Drop({path});
    EXPECT_EQ(EditorText(), L"deep");
    EXPECT_EQ(DocumentPath, path);
}

// ---- Formatting keys ----

// The paragraph and character format of the whole text, as the control reports it.
std::string FormatOfTheText(HWND edit) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof(paragraph);
    SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    CHARFORMAT2W character = {};
    character.cbSize = sizeof(character);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&character));
    return "alignment " + std::to_string(paragraph.wAlignment) + ", spacing " +
           std::to_string(paragraph.bLineSpacingRule) + "/" + std::to_string(paragraph.dyLineSpacing) +
           ", effects " + std::to_string(character.dwEffects & ~CFE_AUTOCOLOR) + ", offset " +
           std::to_string(character.yOffset) + ", height " + std::to_string(character.yHeight);
}

// Presses Ctrl (and Shift) with the key in the editor, over part of its text.
void PressFormattingKey(HWND edit, WORD key, bool shift) {
    SendMessageW(edit, EM_SETSEL, 3, 8);
    BYTE state[256] = {};
    state[VK_CONTROL] = 0x80;
    if (shift) state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    SendMessageW(edit, WM_KEYDOWN, key, 1);
    SendMessageW(edit, WM_KEYUP, key, 0xC0000001);
    HoldControl(false);
    PumpMessages();
}

using FormattingKeys = AppFixture;

TEST_F(FormattingKeys, LeaveTheTextsFormatAsItWas) {
    StartApp();
    const wchar_t* text = L"first line\r\nsecond line";
    SetEditorText(text);
    // A control of the same kind without the program's subclass shows
    // whether the keys format anything at all here.
    HWND bare = CreatePlainTextEditor(ES_MULTILINE, {0, 0, 300, 100}, nullptr, nullptr);
    SendMessageW(bare, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    std::string before = FormatOfTheText(EditControl);
    const struct {
        WORD key;
        bool shift;
    } keys[] = {{'E', false},         {'J', false},        {'L', false}, {'R', false}, {'1', false},
                {'2', false},         {'5', false},        {'B', false}, {'I', false}, {'U', false},
                {VK_OEM_PLUS, false}, {VK_OEM_PLUS, true}, {'L', true}};
    int formattedBare = 0;
    for (const auto& press : keys) {
        std::string bareBefore = FormatOfTheText(bare);
        PressFormattingKey(bare, press.key, press.shift);
        if (FormatOfTheText(bare) != bareBefore) ++formattedBare;
        PressFormattingKey(EditControl, press.key, press.shift);
        EXPECT_EQ(FormatOfTheText(EditControl), before)
            << "Ctrl+" << (press.shift ? "Shift+" : "") << press.key;
        EXPECT_EQ(EditorText(), text) << press.key;
    }
    DestroyWindow(bare);
    if (formattedBare == 0) GTEST_SKIP() << "this rich edit control formats nothing on these keys (Wine's)";
}
