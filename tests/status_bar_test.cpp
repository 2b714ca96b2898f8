// The status bar as a user reads it: its five texts, the Zoom menu's check
// marks and the widths of its parts. (Line and Col against a walk over the
// display lines: gutter_test.)
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

LONG Start(int line) { return static_cast<LONG>(SendMessageW(EditControl, EM_LINEINDEX, line, 0)); }
int LineOf(LONG position) {
    return static_cast<int>(SendMessageW(EditControl, EM_EXLINEFROMCHAR, 0, position));
}

void ShowText(const std::wstring& text) {
    SendMessageW(EditControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PumpMessages();
}

void SelectFromTo(LONG anchor, LONG caret) {
    SendMessageW(EditControl, EM_SETSEL, anchor, caret);
    PumpMessages();
}

void SetWrap(bool on) {
    if (Autowrap != on) ToggleAutoWrap();
    PumpMessages();
}

std::wstring Paragraphs(int count, int words) {
    std::wstring text;
    for (int p = 0; p < count; ++p) {
        if (p > 0) text += L"\r\n";
        for (int w = 0; w < words * (p % 4); ++w) text += L"word" + std::to_wstring(w) + L' ';
        text += L"end" + std::to_wstring(p);
    }
    return text;
}

std::vector<int> PartEdges() {
    std::vector<int> edges(5);
    EXPECT_EQ(SendMessageW(StatusBar, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(edges.data())), 5);
    return edges;
}

int MeasureInStatusBar(const std::wstring& text) {
    HDC dc = GetDC(StatusBar);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(StatusBar, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(StatusBar, dc);
    return size.cx;
}

constexpr COLORREF Scribble = RGB(255, 0, 255);

// How many pixels of a part still show the scribble (every other pixel looked at).
int ScribbledPixelsIn(int part) {
    RECT rect = {};
    SendMessageW(StatusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
    HDC dc = GetDC(StatusBar);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; y += 2) {
        for (int x = rect.left; x < rect.right; x += 2) count += GetPixel(dc, x, y) == Scribble;
    }
    ReleaseDC(StatusBar, dc);
    return count;
}

bool ZoomChecked(UINT id) {
    return GetMenuState(GetOptionsSubmenu(OPTIONS_POS_ZOOM), id, MF_BYCOMMAND) & MF_CHECKED;
}

}  // namespace

// ---- The size text ----

struct SizeRow {
    long long characters;
    const wchar_t* expected;
};

TEST(SizeText, CountsBytesUpToAKilobyteThenOneDecimalInTheLargestUnit) {
    const SizeRow rows[] = {
        {0, L"0 bytes"},
        {1, L"1 bytes"},
        {1023, L"1023 bytes"},
        {1024, L"1.0 KB"},
        {1536, L"1.5 KB"},
        {10240, L"10.0 KB"},
        {1048575, L"1024.0 KB"},  // just under 1024 KB stays in KB
        {1048576, L"1.0 MB"},
        {3000029, L"2.9 MB"},
        {10485760, L"10.0 MB"},
        {1073741824LL, L"1.0 GB"},
        {1099511627776LL, L"1.0 TB"},
        {1125899906842624LL, L"1024.0 TB"},  // no unit above TB
    };
    for (const SizeRow& row : rows) {
        EXPECT_EQ(FormatSizeText(row.characters), row.expected) << row.characters << " characters";
    }
}

using StatusBarParts = AppFixture;

// ---- Texts ----

TEST_F(StatusBarParts, EmptyDocument) {
    StartApp();
    EXPECT_EQ(StatusPartText(0), L" Line 1  Col 1  Sel 0 ");
    EXPECT_EQ(StatusPartText(1), L" Auto-Wrap OFF");
    EXPECT_EQ(StatusPartText(2), L" Zoom: 100% ");
    EXPECT_EQ(StatusPartText(3), L" 0 chars (~ 0 bytes) ");
    EXPECT_EQ(StatusPartText(4), L" UTF-8 ");
}

TEST_F(StatusBarParts, SizesOfTheDocument) {
    StartApp();
    SetEditorText(std::wstring(1023, L'a'));
    EXPECT_EQ(StatusPartText(3), L" 1023 chars (~ 1023 bytes) ");
    SetEditorText(std::wstring(1024, L'a'));
    EXPECT_EQ(StatusPartText(3), L" 1024 chars (~ 1.0 KB) ");
    SetEditorText(std::wstring(1536, L'a'));
    EXPECT_EQ(StatusPartText(3), L" 1536 chars (~ 1.5 KB) ");
    // A paragraph break counts as one character.
    SetEditorText(std::wstring(1000, L'a') + L"\r\n" + std::wstring(535, L'b'));
    EXPECT_EQ(StatusPartText(3), L" 1536 chars (~ 1.5 KB) ");

    std::wstring large;
    for (int i = 0; i < 30; ++i) large += (i ? L"\r\n" : L"") + std::wstring(100000, L'x');
    ShowText(large);
    SelectFromTo(0, 0);
    EXPECT_EQ(StatusPartText(3), L" 3000029 chars (~ 2.9 MB) ");
}

// ---- Line, Col and Sel ----

TEST_F(StatusBarParts, BackwardSelectionReadsAsForward) {
    StartApp();
    ShowText(L"alpha beta\r\ngamma delta\r\nepsilon");
    SelectFromTo(14, 20);
    EXPECT_EQ(StatusPartText(0), L" Line 2  Col 4  Sel 6 ");
    SelectFromTo(20, 14);
    EXPECT_EQ(StatusPartText(0), L" Line 2  Col 4  Sel 6 ");

    // Made with the keyboard: Shift+Left six times from offset 20.
    SelectFromTo(20, 20);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    for (int i = 0; i < 6; ++i) SendMessageW(EditControl, WM_KEYDOWN, VK_LEFT, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    PumpMessages();
    EXPECT_EQ(StatusPartText(0), L" Line 2  Col 4  Sel 6 ");
}

TEST_F(StatusBarParts, WrappedParagraphCountsColFromItsDisplayLine) {
    StartApp();
    SetWrap(true);
    std::wstring words;
    for (int i = 0; i < 120; ++i) words += L"w" + std::to_wstring(i) + L' ';
    ShowText(L"first\r\n" + words + L"\r\nlast");
    ASSERT_GT(LineOf(Start(2)), 1);
    ASSERT_EQ(LineOf(6), 1);
    ASSERT_EQ(LineOf(Start(2)), 2);  // the paragraph's second display line
    SelectFromTo(Start(2) + 2, Start(2) + 2);
    EXPECT_EQ(StatusPartText(0), L" Line 2  Col 3  Sel 0 ");
    SelectFromTo(Start(3), Start(3) + 4);
    EXPECT_EQ(StatusPartText(0), L" Line 2  Col 1  Sel 4 ");

    // A narrower window wraps the paragraph anew: Col follows at once,
    // though the selection stays where it was.
    LONG caret = Start(3) + 2;
    SelectFromTo(caret, caret);
    ASSERT_EQ(StatusPartText(0), L" Line 2  Col 3  Sel 0 ");
    RECT window;
    GetWindowRect(MainWindow, &window);
    SetWindowPos(MainWindow, nullptr, 0, 0, (window.right - window.left) / 2, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    int column = caret - Start(LineOf(caret)) + 1;
    ASSERT_NE(column, 3) << "the narrower window should wrap the paragraph elsewhere";
    std::wstring expected = L" Line 2  Col " + std::to_wstring(column) + L"  Sel 0 ";
    EXPECT_EQ(StatusPartText(0), expected);
}

// Wine's status bar repaints each part at once when its text changes; the
// update sets all its texts first and has the bar repaint once. What it
// shows must still be the new texts, and a repaint that was due before
// the update must not be lost to it.
TEST_F(StatusBarParts, NewTextsReachTheScreen) {
    StartApp();
    ShowText(Paragraphs(20, 5));
    SelectFromTo(3, 3);
    ScribbleOver(StatusBar, Scribble);
    ASSERT_GT(ScribbledPixelsIn(0), 0) << "the scribble did not reach the screen";
    SendMessageW(EditControl, WM_CHAR, L'x', 1);  // a new Col and a new size
    PumpMessages();
    EXPECT_EQ(StatusPartText(0), L" Line 1  Col 5  Sel 0 ");
    EXPECT_EQ(ScribbledPixelsIn(0), 0) << "Line and Col";
    EXPECT_EQ(ScribbledPixelsIn(3), 0) << "the size";

    // Nothing changes, but the whole bar was waiting to be repainted.
    ScribbleOver(StatusBar, Scribble);
    InvalidateRect(StatusBar, nullptr, TRUE);
    UpdateStatusBar();
    PumpMessages();
    for (int part = 0; part < 5; ++part) EXPECT_EQ(ScribbledPixelsIn(part), 0) << "part " << part;
}

// ---- Zoom ----

TEST_F(StatusBarParts, ZoomTextAndCheckMarks) {
    StartApp();
    ASSERT_TRUE(ZoomChecked(IDM_ZOOM_100));
    SendMessageW(EditControl, EM_SETZOOM, 230, 100);
    UpdateStatusBar();
    EXPECT_EQ(StatusPartText(2), L" Zoom: 230% ");
    for (UINT id = IDM_ZOOM_100; id <= IDM_ZOOM_300; ++id) EXPECT_FALSE(ZoomChecked(id)) << id;

    SendMessageW(EditControl, EM_SETZOOM, 3, 2);
    UpdateStatusBar();
    EXPECT_EQ(StatusPartText(2), L" Zoom: 150% ");
    EXPECT_TRUE(ZoomChecked(IDM_ZOOM_150));
    EXPECT_FALSE(ZoomChecked(IDM_ZOOM_100));
    EXPECT_FALSE(ZoomChecked(IDM_ZOOM_200));

    SendMessageW(EditControl, EM_SETZOOM, 0, 0);  // no zoom at all reads as 100 %
    UpdateStatusBar();
    EXPECT_EQ(StatusPartText(2), L" Zoom: 100% ");
    EXPECT_TRUE(ZoomChecked(IDM_ZOOM_100));
}

// ---- Widths of the parts ----

TEST_F(StatusBarParts, EdgesComeFromTheMeasuredTexts) {
    StartApp();
    ShowText(L"some text");
    SelectFromTo(2, 2);
    std::vector<int> edges = PartEdges();
    UINT dpi = GetDpiForWindow(StatusBar);
    int pad = MulDiv(10, dpi, 96);
    int grip = MulDiv(GetSystemMetrics(SM_CXVSCROLL), dpi, 96);
    for (int part = 1; part < 5; ++part) {
        EXPECT_EQ(edges[part] - edges[part - 1], MeasureInStatusBar(StatusPartText(part)) + pad)
            << "part " << part;
    }
    RECT client;
    GetClientRect(StatusBar, &client);
    EXPECT_EQ(edges[4], client.right - grip);
    EXPECT_GT(edges[0], 0);
}

TEST_F(StatusBarParts, NarrowWindowLeavesPartZeroNoWidth) {
    StartApp();
    SetWindowPos(MainWindow, nullptr, 0, 0, 260, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    UpdateStatusBar();
    std::vector<int> edges = PartEdges();
    EXPECT_EQ(edges[0], 0);
    EXPECT_EQ(edges[1], MeasureInStatusBar(StatusPartText(1)) + MulDiv(10, GetDpiForWindow(StatusBar), 96));
}
