// The fast paths for large documents: each skips work that Wine's control
// makes costly (a relayout of the whole text, a walk from the first line)
// and must leave what the user sees exactly as the plain path would.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include <map>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

// Counts the messages that reach a window, for as long as it lives.
class MessageCounter {
public:
    explicit MessageCounter(HWND window) : window_(window) {
        SetWindowSubclass(window_, Count, reinterpret_cast<UINT_PTR>(this),
                          reinterpret_cast<DWORD_PTR>(this));
    }
    ~MessageCounter() { RemoveWindowSubclass(window_, Count, reinterpret_cast<UINT_PTR>(this)); }
    int operator[](UINT message) const {
        auto found = counts_.find(message);
        return found == counts_.end() ? 0 : found->second;
    }
    void Clear() { counts_.clear(); }

private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        reinterpret_cast<MessageCounter*>(self)->counts_[message]++;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    HWND window_;
    std::map<UINT, int> counts_;
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
// Typing at the end of the text: the lines at the end are read up from the
// caret, whose own top the system caret shows, so the gutter asks the
// control for no position (each such answer walks the whole document).
TEST_F(HotPaths, TypingAtTheEndAsksTheControlForNoPosition) {
    StartApp();
    std::wstring text;
    for (int i = 0; i < 400; ++i) text += L"line " + std::to_wstring(i) + L" of plain words\r\n";
    for (bool wrap : {false, true}) {
        if (Autowrap != wrap) ToggleAutoWrap();
        SetEditorText(text);
        SetFocus(EditControl);
        PressCtrlKey(VK_END);
        MessageCounter counter(EditControl);
        SendMessageW(EditControl, WM_CHAR, L'x', 1);
        PumpMessages();
        EXPECT_EQ(counter[EM_POSFROMCHAR], 0) << "wrap " << wrap;
        EXPECT_EQ(LineNumberCache[CacheLineCount - 1], 401) << "wrap " << wrap;
    }
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
