// The status bar as a user reads it: its five texts, the Zoom menu's check
// marks and the widths of its parts; Line and Col compared with a plain
// walk over the editor's display lines from the first one.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "resources/resource.h"
#include "view/logical_lines.h"
#include "view/view.h"

namespace {

int LineCount() { return static_cast<int>(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0)); }
LONG Start(int line) { return static_cast<LONG>(SendMessageW(EditControl, EM_LINEINDEX, line, 0)); }
int LineOf(LONG position) {
    return static_cast<int>(SendMessageW(EditControl, EM_EXLINEFROMCHAR, 0, position));
}

// With word wrap off no display line runs on into the next.
bool Continues(int line) {
    if (!Autowrap) return false;
    LONG next = Start(line + 1);
    return next != -1 && next == Start(line) + SendMessageW(EditControl, EM_LINELENGTH, Start(line), 0);
}

int LogicalNumber(int line) {
    int count = 0;
    bool continues = false;
    for (int d = 0; d <= line && Start(d) >= 0; ++d) {
        if (!continues) ++count;
        continues = Continues(d);
    }
    return count;
}

// The position part (0) as the walk from the top says it should read.
std::wstring WalkedPosition() {
    CHARRANGE selection;
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    int line = LineOf(selection.cpMin);
    return L" Line " + std::to_wstring(LogicalNumber(line)) + L"  Col " +
           std::to_wstring(selection.cpMin - Start(line) + 1) + L"  Sel " +
           std::to_wstring(selection.cpMax - selection.cpMin) + L" ";
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
}

TEST_F(StatusBarParts, LineAndColMatchTheWalkFromTheTop) {
    StartApp();
    for (bool wrap : {false, true}) {
        SetWrap(wrap);
        ShowText(Paragraphs(120, 12));
        int lines = LineCount();
        for (int line = 0; line < lines; line += 7) {
            for (LONG offset : {0, 1, 3}) {
                LONG position = Start(line) + offset;
                SelectFromTo(position, position + 2);
                EXPECT_EQ(StatusPartText(0), WalkedPosition())
                    << "wrap " << wrap << ", position " << position;
                SelectFromTo(position + 2, position);
                EXPECT_EQ(StatusPartText(0), WalkedPosition())
                    << "wrap " << wrap << ", back from " << position;
            }
        }
    }
}

// At the end of the text the caret's line is the last one, and with word
// wrap on its number is the count of the paragraphs.
TEST_F(StatusBarParts, CaretAtTheEndOfTheText) {
    StartApp();
    const std::wstring endings[] = {L"", L"\r\n", L"\r\n\r\n", L" tail words that run on and on"};
    for (bool wrap : {false, true}) {
        SetWrap(wrap);
        for (const std::wstring& ending : endings) {
            ShowText(Paragraphs(90, 14) + ending);
            LONG end = static_cast<LONG>(SendMessageW(EditControl, WM_GETTEXTLENGTH, 0, 0));
            SelectFromTo(end, end);
            EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "wrap " << wrap << ", ending " << ending.size();
            SendMessageW(EditControl, WM_CHAR, L'x', 1);
            PumpMessages();
            EXPECT_EQ(StatusPartText(0), WalkedPosition())
                << "wrap " << wrap << ", typed after " << ending.size();
            SendMessageW(EditControl, WM_CHAR, L'\r', 1);
            PumpMessages();
            EXPECT_EQ(StatusPartText(0), WalkedPosition())
                << "wrap " << wrap << ", new line after " << ending.size();
        }
    }
}

// After a load with word wrap on, Ctrl+End takes the lines in view from
// the caret's line up, where a hidden model wraps their paragraphs, and
// asks the control nothing to confirm them (a loaded text's line breaks
// all read as such). Every line in view, the caret put on it, reads as the
// walk says.
TEST_F(StatusBarParts, LinesInViewAfterALoadAndCtrlEnd) {
    StartApp();
    SetWrap(true);
    LoadText(Paragraphs(90, 14));
    SetFocus(EditControl);
    PressCtrlKey(VK_END);
    int first = static_cast<int>(SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0));
    ASSERT_GT(LineCount() - first, 10);
    for (int line = first; line < LineCount(); ++line) {
        SelectFromTo(Start(line) + 1, Start(line) + 1);
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "line " << line;
    }
}

// The caret below the view after an edit above it: the cache entry the
// gutter wrote for that line before the edit is stale, and is not shown.
TEST_F(StatusBarParts, LineBelowTheViewAfterAnEditAbove) {
    StartApp();
    SetWrap(true);
    std::wstring text = Paragraphs(150, 12);
    ShowText(text);
    // A one-line paragraph before another; the editor keeps one character per paragraph break.
    LONG caret = static_cast<LONG>(text.find(L"end140")) - 140;
    SelectFromTo(caret, caret);
    SelectFromTo(static_cast<LONG>(text.size()),
                 static_cast<LONG>(text.size()));  // the gutter numbers the last lines
    UpdateWindow(GutterWindow);
    SendMessageW(EditControl, EM_LINESCROLL, 0, -LineCount());
    PumpMessages();
    // The first paragraph grows by a line: the lines below move down one
    // display line but keep their logical numbers.
    std::wstring longer(100, L'x');
    SendMessageW(EditControl, EM_SETSEL, 0, 0);
    SendMessageW(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>((longer + L' ').c_str()));
    PumpMessages();
    caret += 101;
    // The caret goes back down while nobody looks, and the view stays up.
    LRESULT mask = SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    SendMessageW(EditControl, EM_SETSEL, caret, caret);
    SendMessageW(EditControl, EM_LINESCROLL, 0, -LineCount());
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
    ASSERT_EQ(SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    UpdateStatusBar();
    EXPECT_EQ(StatusPartText(0), L" Line 141  Col 1  Sel 0 ");
    EXPECT_EQ(StatusPartText(0), WalkedPosition());
}

// Typing in the middle of a wrapped text: the paragraphs above the caret
// are counted again after each edit (read here in pieces of a few
// characters, so that marks fall on every side of a piece's edge), and a
// space replaced by a line break, which keeps the text's length, still
// moves the number on.
TEST_F(StatusBarParts, TypingInTheMiddleOfWrappedText) {
    ScanPieceLength = 5;
    StartApp();
    SetWrap(true);
    std::wstring text = Paragraphs(160, 12);
    ShowText(text);
    for (int paragraph : {37, 81, 122}) {
        // Within the paragraph after this one; the editor keeps one
        // character per paragraph break.
        size_t at = text.find(L"word3 word4", text.find(L"end" + std::to_wstring(paragraph)));
        LONG caret = static_cast<LONG>(at - std::count(text.begin(), text.begin() + at, L'\n'));
        SelectFromTo(caret, caret);
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "caret in paragraph " << paragraph + 2;
        SendMessageW(EditControl, WM_CHAR, L'x', 1);
        PumpMessages();
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "typed in paragraph " << paragraph + 2;
        SendMessageW(EditControl, WM_CHAR, L'\r', 1);
        PumpMessages();
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "new line in paragraph " << paragraph + 2;
        LONG space = caret + 1 + static_cast<LONG>(std::wstring(L"word3").size());
        SelectFromTo(space, space + 1);
        SendMessageW(EditControl, WM_CHAR, L'\r', 1);
        PumpMessages();
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "a space made a break in paragraph " << paragraph + 2;
        text = EditorText();
    }
}

// A space at a wrap replaced by a letter: the text keeps its length and
// its line count, but the joined word moves to the next line, and with it
// the caret's column. (Wine's control reports the new selection before
// the change; the status bar must not read the lines as they were.)
TEST_F(StatusBarParts, ReplacingTheSpaceAtAWrapMovesTheColumn) {
    StartApp();
    SetWrap(true);
    ShowText(Paragraphs(40, 16));
    int lines = LineCount();
    for (int line = 1; line < lines; ++line) {
        LONG start = Start(line);
        std::wstring before(2, L'\0');
        TEXTRANGEW range = {{start - 1, start}, before.data()};
        SendMessageW(EditControl, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        if (before[0] != L' ') continue;  // not a wrap at a space
        SelectFromTo(start - 1, start);
        SendMessageW(EditControl, WM_CHAR, L'q', 1);
        PumpMessages();
        ASSERT_EQ(LineCount(), lines) << "line " << line;
        EXPECT_NE(Start(line), start) << "the word should have moved down";
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << "line " << line;
        return;
    }
    FAIL() << "no line wraps at a space";
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
