// The fast paths for large documents: each skips work that Wine's control
// makes costly (a relayout of the whole text, a walk from the first line)
// and must leave what the user sees exactly as the plain path would.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

// Counts the editor's answers about a place in the text beyond a given
// character: positions, lines and reads of its text.
class QueryWatcher {
public:
    explicit QueryWatcher(HWND window) : window_(window) {
        SetWindowSubclass(window_, Watch, reinterpret_cast<UINT_PTR>(this),
                          reinterpret_cast<DWORD_PTR>(this));
    }
    ~QueryWatcher() { RemoveWindowSubclass(window_, Watch, reinterpret_cast<UINT_PTR>(this)); }
    int PositionsPast(LONG position) const { return Past(positions_, position); }
    int TextReadsPast(LONG position) const { return Past(reads_, position); }
    long long CharactersRead() const { return charactersRead_; }

private:
    static int Past(const std::vector<LONG>& places, LONG position) {
        return static_cast<int>(
            std::count_if(places.begin(), places.end(), [&](LONG p) { return p > position; }));
    }
    static LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        QueryWatcher& watcher = *reinterpret_cast<QueryWatcher*>(self);
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        switch (message) {
        case EM_POSFROMCHAR:
        case EM_EXLINEFROMCHAR: watcher.positions_.push_back(static_cast<LONG>(lParam)); break;
        case EM_LINEFROMCHAR:
        case EM_LINELENGTH: watcher.positions_.push_back(static_cast<LONG>(wParam)); break;
        case EM_LINEINDEX:
            // the caret's line (-1) is answered without a walk; a line by its number is not
            if (static_cast<int>(wParam) != -1) watcher.positions_.push_back(static_cast<LONG>(result));
            break;
        case EM_GETFIRSTVISIBLELINE:
        case EM_CHARFROMPOS: watcher.positions_.push_back(LONG_MAX); break;
        case EM_GETTEXTRANGE:
            watcher.reads_.push_back(reinterpret_cast<TEXTRANGEW*>(lParam)->chrg.cpMin);
            watcher.charactersRead_ += result;
            break;
        }
        return result;
    }
    HWND window_;
    std::vector<LONG> positions_, reads_;
    long long charactersRead_ = 0;
};

int EditorZoomPercent() {
    int numerator = 0, denominator = 0;
    SendMessageW(EditControl, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    return numerator && denominator ? MulDiv(numerator, 100, denominator) : 100;
}

RECT FormatRect() {
    RECT format;
    SendMessageW(EditControl, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

}  // namespace

using HotPaths = AppFixture;

// Zoom and layout: a message that would lay the text out again to the
// same zoom or the same rectangle is not sent.
// The text in the editor, which has the keyboard, and the caret at its end.
void ShowWithTheCaretAtTheEnd(const std::wstring& text) {
    SetEditorText(text);
    SetFocus(EditControl);
    PressCtrlKey(VK_END);
}

void TypeOneCharacter() {
    SendMessageW(EditControl, WM_CHAR, L'x', 1);
    PumpMessages();
}

// Typing at the end of the text: with word wrap off the lines at the end
// follow from the caret's top and the first line's, with word wrap on from
// the caret's top and the text read before with the character typed; either
// way the gutter asks the control no position and reads no text away from
// the start of the text (under Wine each such answer walks the document up
// to that place).
TEST_F(HotPaths, TypingAtTheEndAsksNoPositionPastTheStart) {
    StartApp();
    std::wstring text;
    for (int i = 0; i < 3000; ++i) text += L"line " + std::to_wstring(i) + L" of plain words\r\n";
    for (bool wrap : {false, true}) {
        if (Autowrap != wrap) ToggleAutoWrap();
        ShowWithTheCaretAtTheEnd(text);
        QueryWatcher queries(EditControl);
        TypeOneCharacter();
        EXPECT_EQ(queries.PositionsPast(100), 0) << "wrap " << wrap;
        EXPECT_EQ(queries.TextReadsPast(100), 0) << "wrap " << wrap;
        EXPECT_EQ(LineNumberCache[CacheLineCount - 1], 3001) << "wrap " << wrap;
    }
}

// In a document of a few long paragraphs the control finds a line at once,
// and reading the text around it costs more: typing on the empty last
// line reads little of it. (Word wrap off: Wine's control takes minutes
// to wrap paragraphs this long.)
TEST_F(HotPaths, TypingAfterFewLongParagraphsReadsLittleText) {
    StartApp();
    if (Autowrap) ToggleAutoWrap();
    std::wstring paragraph;
    while (paragraph.size() < 60000) paragraph += L"some words ";
    std::wstring text;
    for (int i = 0; i < 8; ++i) text += paragraph + L"\r\n";
    ShowWithTheCaretAtTheEnd(text);
    QueryWatcher queries(EditControl);
    TypeOneCharacter();
    EXPECT_LT(queries.CharactersRead(), 32768);
    EXPECT_EQ(LineNumberCache[CacheLineCount - 1], 9);
}

// 3000 lines, every third long enough for word wrap to break it.
std::wstring LinesSomeWrapped() {
    std::wstring text;
    for (int i = 0; i < 3000; ++i) {
        text += L"line " + std::to_wstring(i) + L" of plain words";
        if (i % 3 == 0)
            for (int w = 0; w < 40; ++w) text += L" and more words";
        text += L"\r\n";
    }
    return text;
}

// Ctrl+End after a load: the end of the loaded text is known, so the gutter
// reads none of it back; and every line break of a loaded text reads as
// one, so with word wrap on, turned on after the load included, the lines
// the model predicts need no confirmation: no position asked past the start.
TEST_F(HotPaths, CtrlEndAfterALoadReadsNoTextBack) {
    struct Case {
        const char* name;
        bool wrapWhenLoaded, wrap;
    };
    const Case cases[] = {
        {"wrap off", false, false},
        {"wrap on", true, true},
        {"wrap turned on after the load", false, true},
    };
    StartApp();
    std::wstring lines = LinesSomeWrapped();
    for (const Case& c : cases) {
        if (Autowrap != c.wrapWhenLoaded) ToggleAutoWrap();
        LoadText(lines);
        if (Autowrap != c.wrap) ToggleAutoWrap();
        PumpMessages();
        SetFocus(EditControl);
        QueryWatcher queries(EditControl);
        PressCtrlKey(VK_END);
        EXPECT_EQ(queries.TextReadsPast(100), 0) << c.name;
        EXPECT_EQ(queries.PositionsPast(100), 0) << c.name;
        EXPECT_EQ(LineNumberCache[CacheLineCount - 1], 3001) << c.name;
    }
}

// Back at the end after Ctrl+Home, with nothing changed: the lines read
// there last serve again, and the control is asked nothing past the start.
TEST_F(HotPaths, CtrlEndAgainAsksNoPositionPastTheStart) {
    StartApp();
    if (!Autowrap) ToggleAutoWrap();
    LoadText(LinesSomeWrapped());
    SetFocus(EditControl);
    PressCtrlKey(VK_END);
    PressCtrlKey(VK_HOME);
    QueryWatcher queries(EditControl);
    PressCtrlKey(VK_END);
    EXPECT_EQ(queries.TextReadsPast(100), 0);
    EXPECT_EQ(queries.PositionsPast(100), 0);
    EXPECT_EQ(LineNumberCache[CacheLineCount - 1], 3001);
}

TEST_F(HotPaths, ResetViewAtHundredPercentKeepsTheZoomWithoutSettingIt) {
    StartApp();
    MessageCounter counter(EditControl);
    ResetView();
    EXPECT_EQ(counter[EM_SETZOOM], 0);
    EXPECT_EQ(EditorZoomPercent(), 100);
    EXPECT_EQ(ZoomPercent, 100);

    SendCommand(IDM_ZOOM_150);
    EXPECT_EQ(counter[EM_SETZOOM], 1);
    EXPECT_EQ(EditorZoomPercent(), 150);
    ResetView();
    EXPECT_EQ(counter[EM_SETZOOM], 2);
    EXPECT_EQ(EditorZoomPercent(), 100);
}

TEST_F(HotPaths, ZoomToTheSamePercentSetsNothingAndKeepsIt) {
    StartApp();
    SendCommand(IDM_ZOOM_200);
    MessageCounter counter(EditControl);
    SetZoom(200);
    EXPECT_EQ(counter[EM_SETZOOM], 0);
    EXPECT_EQ(EditorZoomPercent(), 200);
    SetZoom(190);
    EXPECT_EQ(counter[EM_SETZOOM], 1);
    EXPECT_EQ(EditorZoomPercent(), 190);
}

TEST_F(HotPaths, LayoutSetsTheFormatRectangleOnlyWhenItChanges) {
    StartApp();
    MessageCounter counter(EditControl);
    RECT before = FormatRect();
    LayoutMainWindow(MainWindow);
    EXPECT_EQ(counter[EM_SETRECTNP], 0);
    RECT after = FormatRect();
    EXPECT_TRUE(EqualRect(&before, &after));

    RECT window;
    GetWindowRect(MainWindow, &window);
    SetWindowPos(MainWindow, nullptr, 0, 0, window.right - window.left - 50, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    // Whether the control moved its rectangle along or the layout set it,
    // the text keeps its inset in the new size.
    RECT client;
    GetClientRect(EditControl, &client);
    RECT format = FormatRect();
    EXPECT_EQ(format.left, client.left + 3);
    EXPECT_EQ(format.top, client.top + 3);
    EXPECT_EQ(format.right, client.right);
    EXPECT_EQ(format.bottom, client.bottom);
}

// Loading: the gutter is as wide as the new text's numbers need before the
// text goes in, so nothing is resized after it (each resize would lay the
// whole text out again). The width is the one a recount gives.
namespace {

// Resizes of the editor's window after a WM_SETTEXT that brought text. The
// vertical scroll bar that the text brings changes only the client area;
// that happens in any window holding the control and is not counted.
class ResizesAfterText {
public:
    ResizesAfterText() { SetWindowSubclass(EditControl, Watch, 0xF17E, reinterpret_cast<DWORD_PTR>(this)); }
    ~ResizesAfterText() { RemoveWindowSubclass(EditControl, Watch, 0xF17E); }
    int count = 0;

private:
    static LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        ResizesAfterText* watcher = reinterpret_cast<ResizesAfterText*>(self);
        if (message == WM_SETTEXT) watcher->textIn_ = lParam && reinterpret_cast<const wchar_t*>(lParam)[0];
        if (message == WM_WINDOWPOSCHANGING && watcher->textIn_) {
            const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
            RECT now;
            GetWindowRect(window, &now);
            bool resized = !(position->flags & SWP_NOSIZE) &&
                           (position->cx != now.right - now.left || position->cy != now.bottom - now.top);
            if (resized) watcher->count++;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
    bool textIn_ = false;
};

std::string Lines(int count, const char* lineBreak) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + lineBreak;
    return text;
}

}  // namespace

TEST_F(HotPaths, LoadingWidensTheGutterBeforeTheTextGoesIn) {
    StartApp();
    struct Case {
        const char* name;
        std::string bytes;
    };
    // 99 paragraphs need two digits, 100 three: each text sits at that edge.
    const Case cases[] = {
        {"99 lines", Lines(98, "\r\n") + "last"},
        {"100 lines", Lines(99, "\r\n") + "last"},
        {"lone CR and LF", Lines(96, "\r\n") + "a\rb\nlast"},
        {"CR CR LF is no break", Lines(97, "\r\n") + "a\r\r\nb\r\nlast"},
        {"break at the end", Lines(99, "\r\n")},
        {"12,345 lines", Lines(12344, "\n") + "last"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = ScratchPath(L"lines.txt");
        WriteBytes(path, c.bytes);
        ResizesAfterText resizes;
        ASSERT_TRUE(LoadTextFile(MainWindow, EditControl, path.c_str()));
        ResetView();
        PumpMessages();
        EXPECT_EQ(resizes.count, 0);
        int loaded = GutterWidth;
        EXPECT_EQ(ComputeGutterWidth(MainWindow, EditControl), loaded);
    }
}
