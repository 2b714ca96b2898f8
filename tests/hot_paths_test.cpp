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
