// The line numbers as a user sees them, in the gutter's pixels and the
// status bar's Line and Col, checked against a plain walk over the editor's
// display lines from the first one, in every view and after every kind of
// edit, with the visible lines read either way.
#include "harness.h"

#include <richedit.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"
#include "search/search.h"
#include "view/view.h"
#include "view/visible_lines.h"

namespace {

// ---- Pixels ----

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    COLORREF At(int x, int y) const {
        uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// A 32-bit top-down DIB section with a DC of its own.
class Canvas {
public:
    Canvas(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    Image ToImage(int width, int height) const {
        GdiFlush();
        Image image;
        image.width = width;
        image.height = height;
        const uint32_t* bits = static_cast<const uint32_t*>(bits_);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) image.pixels.push_back(bits[y * width_ + x] & 0xFFFFFF);
        }
        return image;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    void* bits_ = nullptr;
};

RECT GutterClient() {
    RECT client;
    GetClientRect(GutterWindow, &client);
    return client;
}

// What the gutter shows on the screen now, without painting it first.
Image ReadGutterPixels() {
    RECT client = GutterClient();
    Canvas canvas(client.right, client.bottom);
    HDC window = GetDC(GutterWindow);
    BitBlt(canvas.Dc(), 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    ReleaseDC(GutterWindow, window);
    return canvas.ToImage(client.right, client.bottom);
}

// The gutter repainted whole, as the editor's repaint asks for it.
Image PaintAndReadGutter() {
    PumpMessages();
    InvalidateRect(GutterWindow, nullptr, FALSE);
    UpdateWindow(GutterWindow);
    return ReadGutterPixels();
}

// ---- The editor's display lines, asked one by one ----

int LineCount() { return static_cast<int>(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0)); }
int FirstVisible() { return static_cast<int>(SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0)); }
LONG Start(int line) { return static_cast<LONG>(SendMessageW(EditControl, EM_LINEINDEX, line, 0)); }
LONG Top(int line) {
    POINTL point = {};
    SendMessageW(EditControl, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), Start(line));
    return point.y;
}
// With word wrap off no display line runs on into the next.
bool Continues(int line) {
    if (!Autowrap) return false;
    LONG next = Start(line + 1);
    return next != -1 && next == Start(line) + SendMessageW(EditControl, EM_LINELENGTH, Start(line), 0);
}

int StripWidth() {
    if (!Autowrap) return 0;
    int width = static_cast<int>(2 * DpiScale + 0.5f);
    return width > 0 ? width : 2;
}

struct NumberBox {
    int line, number;
    RECT box;
};

// The gutter as the plain walk from line 0 paints it for a band.
struct WalkedGutter {
    int first = 0;
    std::vector<NumberBox> drawn;
    std::vector<RECT> bars;
};

WalkedGutter WalkFromTheTop(int bandTop, int bandBottom, int width) {
    WalkedGutter walked;
    int lineCount = LineCount(), first = FirstVisible();
    int count = 0;
    bool continues = false;
    for (int d = 0; d < first && Start(d) >= 0; ++d) {
        if (!continues) ++count;
        continues = Continues(d);
    }
    walked.first = first;
    int strip = StripWidth(), stripLeft = std::max(width - strip, 0), height = LineHeight, barTop = 0;
    bool barOpen = false;
    for (int d = first; d < lineCount && Start(d) >= 0; ++d) {
        int y = Top(d);
        if (y >= bandBottom) break;
        if (Start(d + 1) != -1 && Top(d + 1) > y) height = Top(d + 1) - y;
        bool runsOn = Continues(d), visible = bandTop < y + height;
        if (!continues) {
            ++count;
            if (visible) walked.drawn.push_back({d, count, {0, y, stripLeft - 4, y + height}});
        }
        if (Autowrap && runsOn && !barOpen) {
            barOpen = true;
            barTop = y;
        } else if (Autowrap && !runsOn && barOpen) {
            int end = std::min(y + height, bandBottom);
            if (visible && end > barTop)
                walked.bars.push_back({stripLeft, barTop, stripLeft + strip, end - 2});
            barOpen = false;
        }
        continues = runsOn;
    }
    if (Autowrap && barOpen) walked.bars.push_back({stripLeft, barTop, stripLeft + strip, bandBottom});
    return walked;
}

Image Render(const WalkedGutter& walked, int width, int height, int textBottom) {
    Canvas canvas(width, height);
    HDC dc = canvas.Dc();
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, GutterBackgroundBrush);
    IntersectClipRect(dc, 0, 0, width, textBottom);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ThemeTable[ColorIndex].gutterText);
    HGDIOBJ font = SelectObject(dc, GutterFont);
    for (const NumberBox& number : walked.drawn) {
        RECT box = number.box;
        std::wstring text = std::to_wstring(number.number);
        DrawTextW(dc, text.c_str(), -1, &box, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    for (const RECT& bar : walked.bars) FillRect(dc, &bar, WrapBarBrush);
    SelectObject(dc, font);
    return canvas.ToImage(width, height);
}

std::string Describe(const WalkedGutter& walked) {
    std::ostringstream out;
    out << "first " << walked.first << ", numbers";
    for (const NumberBox& number : walked.drawn) out << ' ' << number.number << '@' << number.box.top;
    out << ", bars";
    for (const RECT& bar : walked.bars) out << ' ' << bar.top << ".." << bar.bottom;
    return out.str();
}

void ExpectSamePixels(const Image& painted, const Image& expected, const WalkedGutter& walked,
                      const std::string& where) {
    for (int y = 0; y < painted.height; ++y) {
        for (int x = 0; x < painted.width; ++x) {
            if (painted.At(x, y) != expected.At(x, y)) {
                ADD_FAILURE() << where << ": pixel (" << x << ", " << y << ") differs; expected "
                              << Describe(walked);
                return;
            }
        }
    }
}

// The gutter as the last change left it on the screen, and the gutter
// painted anew, show what the walk from the top gives.
void ExpectGutterAsWalked(const std::string& where) {
    PumpMessages();
    Image shown = ReadGutterPixels();
    Image painted = PaintAndReadGutter();
    RECT text;
    GetClientRect(EditControl, &text);  // no numbers beside the horizontal scroll bar
    WalkedGutter walked = WalkFromTheTop(0, text.bottom, painted.width);
    Image expected = Render(walked, painted.width, painted.height, text.bottom);
    ExpectSamePixels(shown, expected, walked, where + " (as shown before the repaint)");
    ExpectSamePixels(painted, expected, walked, where);
}

// ---- The status bar, against the same walk ----

int LogicalNumber(int line) {
    int count = 0;
    bool continues = false;
    for (int d = 0; d <= line && Start(d) >= 0; ++d) {
        if (!continues) ++count;
        continues = Continues(d);
    }
    return count;
}

CHARRANGE ReadSelection() {
    CHARRANGE selection = {};
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection;
}

// The position part (0) as the walk from the top says it should read.
std::wstring WalkedPosition() {
    CHARRANGE selection = ReadSelection();
    int line = static_cast<int>(SendMessageW(EditControl, EM_EXLINEFROMCHAR, 0, selection.cpMin));
    return L" Line " + std::to_wstring(LogicalNumber(line)) + L"  Col " +
           std::to_wstring(selection.cpMin - Start(line) + 1) + L"  Sel " +
           std::to_wstring(selection.cpMax - selection.cpMin) + L" ";
}

// The status bar at the caret an edit left, then with the caret put on
// the first and the last visible line (a few characters in), reads as the
// walk says; the caret and the view are put back. (A new font or window
// size shows in Col only at the next selection change.)
void ExpectStatusBarAsWalked(const std::string& where, bool edited) {
    PumpMessages();
    if (edited) {
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << where << ", at the caret";
    }
    CHARRANGE kept = ReadSelection();
    POINT scrolled = {};
    SendMessageW(EditControl, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    RECT text;
    GetClientRect(EditControl, &text);
    POINTL corner = {1, text.bottom - 1};
    LONG atCorner =
        static_cast<LONG>(SendMessageW(EditControl, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
    int last = static_cast<int>(SendMessageW(EditControl, EM_EXLINEFROMCHAR, 0, atCorner));
    for (int line : {FirstVisible(), last}) {
        LONG length = static_cast<LONG>(SendMessageW(EditControl, EM_LINELENGTH, Start(line), 0));
        LONG position = Start(line) + std::min(2L, length);
        SendMessageW(EditControl, EM_SETSEL, position, position);
        PumpMessages();
        EXPECT_EQ(StatusPartText(0), WalkedPosition()) << where << ", on line " << line;
    }
    SendMessageW(EditControl, EM_SETSEL, kept.cpMin, kept.cpMax);
    SendMessageW(EditControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    PumpMessages();
}

void ExpectAsWalked(const std::string& where, bool edited = true) {
    ExpectGutterAsWalked(where);
    ExpectStatusBarAsWalked(where, edited);
}

// ---- Documents and edits ----

// Words of 1 to 10 letters, paragraphs of 0 to maxWords words.
std::wstring MakeDocument(unsigned seed, int paragraphs, int maxWords) {
    std::wstring text;
    for (int p = 0; p < paragraphs; ++p) {
        if (p > 0) text += L"\r\n";
        seed = seed * 1103515245u + 12345u;
        int words = static_cast<int>((seed >> 16) % (maxWords + 1));
        for (int w = 0; w < words; ++w) {
            seed = seed * 1103515245u + 12345u;
            if (w > 0) text += L' ';
            text.append(1 + (seed >> 16) % 10, static_cast<wchar_t>(L'a' + (seed >> 8) % 26));
        }
    }
    return text;
}

std::wstring Lines(int count) {
    std::wstring text;
    for (int i = 1; i <= count; ++i) text += L"line " + std::to_wstring(i) + (i < count ? L"\r\n" : L"");
    return text;
}

void SetWrap(bool on) {
    if (Autowrap != on) ToggleAutoWrap();
    PumpMessages();
}

void ShowText(const std::wstring& text) {
    SendMessageW(EditControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PumpMessages();
}

void ScrollToLine(int line) {
    SendMessageW(EditControl, EM_LINESCROLL, 0, line - FirstVisible());
    PumpMessages();
}

// The caret on visible line `row` (0: the first visible), `offset` in.
void CaretInView(int row, LONG offset) {
    LONG at = Start(FirstVisible() + row) + offset;
    SendMessageW(EditControl, EM_SETSEL, at, at);
    PumpMessages();
}

void Key(WPARAM key) {
    SendMessageW(EditControl, WM_KEYDOWN, key, 1);
    SendMessageW(EditControl, WM_KEYUP, key, 0xC0000001);
    PumpMessages();
}

void Type(const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(EditControl, WM_CHAR, c, 1);
    PumpMessages();
}

void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(MainWindow));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// The first mark at or after `from`, -1 when there is none.
LONG NextMark(LONG from) {
    std::wstring text = EditorText();
    for (size_t at = static_cast<size_t>(from); at < text.size(); ++at)
        if (text[at] == L'\r') return static_cast<LONG>(at);
    return -1;
}

// Text put in below the editor's subclass, as an OLE drop puts it: the
// index hears of it only through the EN_CHANGE that follows.
void ChangeUnseen(LONG at, const wchar_t* text) {
    SendMessageW(EditControl, EM_SETSEL, at, at);
    CallEditorControl(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    PumpMessages();
}

void Command(UINT id) {
    SendCommand(id);
    PumpMessages();
}

void TypeInView(int row, LONG offset, const wchar_t* text) {
    CaretInView(row, offset);
    Type(text);
}

void KeysInView(int row, LONG offset, WPARAM key, int times, bool ctrl) {
    CaretInView(row, offset);
    for (int i = 0; i < times; ++i) ctrl ? PressCtrlKey(key) : Key(key);
}

void ShiftEnterInView(int row, LONG offset) {
    CaretInView(row, offset);
    PressShiftEnter();
}

void DeleteTheMarkAfterRow(int row) {
    LONG mark = NextMark(Start(FirstVisible() + row));
    SendMessageW(EditControl, EM_SETSEL, mark, mark);
    Key(VK_DELETE);
}

// Keeps the length and the line count, and under Wine the new selection is
// reported before the change: the status bar must not read the old lines.
void ReplaceTheSpaceAtAWrap(int row) {
    LONG next = Start(FirstVisible() + row);
    SendMessageW(EditControl, EM_SETSEL, next - 1, next);
    Type(L"q");
}

void PasteInView(int row, LONG offset) {
    PutOnClipboard(L"pasted\r\ntwo\nthree\rfour");
    CaretInView(row, offset);
    Command(IDM_EDIT_PASTE);
}

void CutAcrossRows(int row, int rows) {
    LONG from = Start(FirstVisible() + row) + 1;
    SendMessageW(EditControl, EM_SETSEL, from, Start(FirstVisible() + row + rows));
    Command(IDM_EDIT_CUT);
}

void ScrollByPixels(int pixels) {
    POINT at = {0, 0};
    SendMessageW(EditControl, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    at.y += pixels;
    SendMessageW(EditControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    PumpMessages();
}

void SetWindowWidth(int width) {
    RECT window;
    GetWindowRect(MainWindow, &window);
    SetWindowPos(MainWindow, nullptr, 0, 0, width, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
}

void ToggleWrapAndScroll(int line) {
    SetWrap(!Autowrap);
    ScrollToLine(line);
}

// Enter at the start of the text, far above the view, the view scrolled
// back to the same first line (which now shows the line that was above
// it), and a letter typed in the view, with nothing read between.
void EnterAboveAndTypeInView() {
    int first = FirstVisible();
    LONG in = Start(first + 3) + 2;
    SendMessageW(EditControl, EM_SETSEL, 0, 0);
    SendMessageW(EditControl, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(EditControl, EM_LINESCROLL, 0, first - FirstVisible());
    SendMessageW(EditControl, EM_SETSEL, in, in);
    SendMessageW(EditControl, WM_CHAR, L'x', 1);
    PumpMessages();
}

void TypeAtTheEnd(const wchar_t* text) {
    SendMessageW(EditControl, EM_SETSEL, -1, -1);
    Type(text);
}

struct Step {
    const char* name;
    std::function<void()> run;
    bool edits = true;  // else it changes the view
};

// Each kind of edit and change of view, in an order where every one finds
// a text the earlier ones changed.
const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"typing in the middle", [] { TypeInView(3, 1, L"typed words "); }},
        {"Enter above the view, then typing in it", EnterAboveAndTypeInView},
        {"Enter", [] { KeysInView(4, 2, VK_RETURN, 1, false); }},
        {"Shift+Enter", [] { ShiftEnterInView(5, 3); }},
        {"Backspace across a mark", [] { KeysInView(6, 0, VK_BACK, 2, false); }},
        {"Delete across a mark", [] { DeleteTheMarkAfterRow(2); }},
        {"Ctrl+Backspace", [] { KeysInView(5, 0, VK_BACK, 1, true); }},
        {"Ctrl+Delete", [] { KeysInView(7, 1, VK_DELETE, 1, true); }},
        {"a letter over the space at a wrap", [] { ReplaceTheSpaceAtAWrap(3); }},
        {"paste", [] { PasteInView(2, 3); }},
        {"cut across marks", [] { CutAcrossRows(1, 4); }},
        {"undo", [] { Command(IDM_EDIT_UNDO); }},
        {"undo again", [] { Command(IDM_EDIT_UNDO); }},
        {"redo", [] { Command(IDM_EDIT_REDO); }},
        {"undo of an Enter, the caret moved away",
         [] {
             KeysInView(2, 1, VK_RETURN, 1, false);
             CaretInView(8, 1);
             Command(IDM_EDIT_UNDO);
         }},
        {"a change not seen coming (a drop)",
         [] { ChangeUnseen(Start(FirstVisible() + 2), L"dropped\rtext "); }},
        {"Replace All", [] { ReplaceAll(L"e", L"E\r\n"); }},
        {"undo of Replace All", [] { Command(IDM_EDIT_UNDO); }},
        {"scrolled by a few pixels", [] { ScrollByPixels(5); }, false},
        {"zoom 150", [] { Command(IDM_ZOOM_150); }, false},
        {"zoom 100", [] { Command(IDM_ZOOM_100); }, false},
        {"the smallest font size", [] { Command(IDM_SIZE_FIRST); }, false},
        {"a narrower window", [] { SetWindowWidth(480); }, false},
        {"word wrap toggled", [] { ToggleWrapAndScroll(30); }, false},
        {"typing at the end", [] { TypeAtTheEnd(L"end\r"); }},
    };
    return steps;
}

const char* WayName(LineReading way) { return way == LineReading::AskEachLine ? "asked" : "from the index"; }

}  // namespace

using Gutter = AppFixture;

// ---- Width ----

struct WidthRow {
    float dpiScale;
    bool wrap;
    int textWidth, expected;
};

TEST(GutterWidthForText, AddsMarginsAndTheStrip) {
    const WidthRow rows[] = {
        {1.0f, false, 20, 27}, {1.0f, true, 20, 33},  {1.5f, false, 20, 31}, {1.5f, true, 20, 38},
        {1.25f, false, 0, 9},  {1.25f, true, 10, 26}, {2.0f, true, 33, 55},  {0.5f, true, 8, 17},
    };
    for (const WidthRow& row : rows) {
        DpiScale = row.dpiScale;
        Autowrap = row.wrap;
        EXPECT_EQ(GutterWidthForText(row.textWidth), row.expected)
            << "scale " << row.dpiScale << ", wrap " << row.wrap << ", text " << row.textWidth;
    }
    DpiScale = 1.0f;
    Autowrap = false;
}

int TextWidth(const std::wstring& text) {
    HDC dc = GetDC(GutterWindow);
    HGDIOBJ previous = SelectObject(dc, GutterFont);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(GutterWindow, dc);
    return size.cx;
}

int GutterWindowWidth() {
    RECT rect;
    GetWindowRect(GutterWindow, &rect);
    return rect.right - rect.left;
}

// The width follows the document's line count, not the numbers in view:
// a document of 150 lines gets room for "150" before line 100 scrolls in
// (so no number is ever drawn clipped), keeps it when lines go, and fewer
// than ten lines still get room for "10". Only a zoom (or New, Open, a new
// DPI) fits it to the document again.
TEST_F(Gutter, WidthFollowsTheDocumentsLineCount) {
    StartApp();
    ShowText(Lines(5));
    PaintAndReadGutter();
    EXPECT_EQ(GutterWindowWidth(), GutterWidthForText(TextWidth(L"10")));
    ShowText(Lines(150));
    PaintAndReadGutter();
    int wide = GutterWidthForText(TextWidth(L"150"));
    EXPECT_EQ(GutterWindowWidth(), wide);
    ScrollToLine(95);
    ExpectGutterAsWalked("line 100 in view");
    ShowText(Lines(50));
    PaintAndReadGutter();
    EXPECT_EQ(GutterWindowWidth(), wide);
    SendCommand(IDM_ZOOM_100);
    PaintAndReadGutter();
    EXPECT_EQ(GutterWindowWidth(), GutterWidthForText(TextWidth(L"50")));
}

// ---- The gutter and the status bar against the walk ----

// An empty document, a few lines, and a long document with and without
// word wrap, scrolled to its middle, in every view a user can set up.
TEST_F(Gutter, EveryViewMatchesTheWalk) {
    StartApp();
    for (LineReading way : {LineReading::AskEachLine, LineReading::FromIndex}) {
        VisibleLineReading = way;
        for (bool wrap : {false, true}) {
            SetWrap(wrap);
            std::string run = std::string(WayName(way)) + (wrap ? ", wrap on" : ", wrap off");
            ShowText(L"");
            ExpectAsWalked(run + ", empty");
            ShowText(L"one\r\n\r\nthree");
            ExpectAsWalked(run + ", three lines");
            ShowText(MakeDocument(7, 300, 60));
            InEveryView([&](const std::string& view) {
                ScrollToLine(LineCount() / 2);
                ExpectAsWalked(run + ", " + view, false);
                PressCtrlKey(VK_END);
                PumpMessages();
                ExpectAsWalked(run + ", " + view + ", at the end", false);
            });
            SendCommand(IDM_ZOOM_100);
        }
    }
}

// Every kind of edit, one after another on the same text, each checked.
// The visible lines are read either way, forced.
void RunEveryEdit(LineReading way, bool wrap) {
    VisibleLineReading = way;
    SetWrap(wrap);
    LoadText(MakeDocument(11, 400, 40));
    ScrollToLine(LineCount() / 3);
    std::string run = std::string(WayName(way)) + (wrap ? ", wrap on" : ", wrap off");
    ExpectAsWalked(run + ", loaded");
    for (const Step& step : Steps()) {
        step.run();
        ExpectAsWalked(run + ", after " + step.name, step.edits);
    }
}

TEST_F(Gutter, EveryEditAskedWrapOff) {
    StartApp();
    RunEveryEdit(LineReading::AskEachLine, false);
}
TEST_F(Gutter, EveryEditAskedWrapOn) {
    StartApp();
    RunEveryEdit(LineReading::AskEachLine, true);
}
TEST_F(Gutter, EveryEditFromTheIndexWrapOff) {
    StartApp();
    RunEveryEdit(LineReading::FromIndex, false);
}
TEST_F(Gutter, EveryEditFromTheIndexWrapOn) {
    StartApp();
    RunEveryEdit(LineReading::FromIndex, true);
}

// A line drawn higher than the others (a character the control draws in a
// font bound to its script) breaks the uniform height the index reading
// assumes; the one answer that confirms the lines read must catch it,
// above the view and in it, and the lines be asked instead.
TEST_F(Gutter, AHigherLineIsNotMissed) {
    StartApp();
    VisibleLineReading = LineReading::FromIndex;
    // Scripts the editor's fonts lack, of which the control takes the first
    // that it draws higher than plain text.
    const wchar_t* const candidates[] = {L"\u4E2D",     L"\u0E01\u0E33", L"\u0915\u094D", L"\u05D0",
                                         L"\U0001F600", L"\u10D0",       L"\u0BB8",       L"\uAC00"};
    std::wstring higher;
    for (const wchar_t* candidate : candidates) {
        ShowText(std::wstring(L"a\r") + candidate + L"\rc\rd");
        if (Top(2) - Top(1) != Top(1) - Top(0)) {
            higher = candidate;
            break;
        }
    }
    if (higher.empty()) GTEST_SKIP() << "no script here is drawn higher than plain text";
    for (bool wrap : {false, true}) {
        SetWrap(wrap);
        for (int line : {5, 60}) {
            std::wstring text = MakeDocument(3, 200, 30);
            size_t at = 0;
            for (int mark = 0; mark < line; ++mark) at = text.find(L"\r\n", at) + 2;
            ShowText(text.insert(at, higher));
            ScrollToLine(50);
            ExpectAsWalked(std::string(wrap ? "wrap on" : "wrap off") + ", line " + std::to_string(line + 1) +
                           " higher");
        }
    }
}
