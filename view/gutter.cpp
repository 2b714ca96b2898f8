// The line-number gutter left of the editor: its window procedure, its
// painting through a back buffer kept between paints, its line height and
// the width a number of a given text width needs.
#include "view/view.h"

#include <richedit.h>

#include <algorithm>
#include <cwchar>

#include "app/app.h"
#include "view/display_lines.h"
#include "view/gdi_scope.h"
#include "view/logical_lines.h"
#include "view/line_numbers.h"

const wchar_t GutterClassName[] = L"GutterClass";
int GutterWidth = 0;
int LineHeight = 16;

namespace {

// The off-screen image of the gutter. It lives until the process ends and
// is replaced only when the gutter outgrows it.
struct BackBuffer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
};
BackBuffer GutterBackBuffer;

// The rows being painted: the update rectangle's, or all of them.
struct Band {
    int top, bottom;
};

int Round(float value) { return static_cast<int>(value + 0.5f); }

int WrapStripWidth() {
    if (!Autowrap) return 0;
    int width = Round(2 * DpiScale);
    return width > 0 ? width : 2;
}

void PrepareBackBuffer(HDC paintDc, int width, int height) {
    BackBuffer& buffer = GutterBackBuffer;
    if (buffer.dc && width <= buffer.width && height <= buffer.height) return;
    if (buffer.bitmap) DeleteObject(buffer.bitmap);
    if (buffer.dc) DeleteDC(buffer.dc);
    buffer.dc = CreateCompatibleDC(paintDc);
    buffer.bitmap = CreateCompatibleBitmap(paintDc, std::max(width, 1), std::max(height, 1));
    buffer.width = width;
    buffer.height = height;
}

void DrawNumber(HDC dc, int number, int right, int top, int height) {
    wchar_t text[16];
    swprintf(text, 16, L"%d", number);
    RECT box = {0, top, right, top + height};
    DrawTextW(dc, text, -1, &box, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

void FillBar(HDC dc, int left, int width, int top, int bottom) {
    RECT bar = {left, top, left + width, bottom};
    FillRect(dc, &bar, WrapBarBrush);
}

// The lines to paint: those the refresh has just read, or read now (also
// while the frame is dragged, when the numbers are not recounted).
const DisplayLineRange& LinesToPaint(Band band, int* first, int* lineCount) {
    RefreshedLines refreshed = {false, 0, 0, nullptr};
    if (!InSizeMove) refreshed = RefreshLineNumbers(EditControl, band.bottom);
    if (!refreshed.current) {
        refreshed.lineCount = static_cast<int>(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0));
        refreshed.first = static_cast<int>(SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    *first = refreshed.first;
    *lineCount = refreshed.lineCount;
    if (refreshed.lines) return *refreshed.lines;
    return ReadDisplayLines(EditControl, ReadLayoutPrint(EditControl), refreshed.first, refreshed.lineCount,
                            band.bottom);
}

// Numbers on the lines that begin a logical line, and with word wrap on a
// bar beside each paragraph that runs over several lines, ending 2 pixels
// above the paragraph's last line, or at the band's bottom when it runs on.
void DrawNumbersAndBars(HDC dc, int width, Band band) {
    int strip = WrapStripWidth();
    int stripLeft = std::max(width - strip, 0);
    int first, lineCount;
    const DisplayLineRange& range = LinesToPaint(band, &first, &lineCount);

    int height = LineHeight;
    bool continues = range.firstContinues;
    int beginsSinceFirst = 0;  // lines from `first` on that begin a logical line
    int countBefore = -1;      // logical lines before `first`, counted when needed
    bool barOpen = false;
    int barTop = 0;
    for (size_t i = 0; i < range.lines.size(); ++i) {
        int line = first + static_cast<int>(i);
        int y = range.lines[i].top;
        if (y >= band.bottom) break;
        if (i + 1 < range.lines.size() && range.lines[i + 1].top > y) height = range.lines[i + 1].top - y;
        bool runsOn = range.lines[i].continues;
        bool visible = band.top < y + height;
        if (!continues) {
            ++beginsSinceFirst;
            if (visible) {
                // A line the last refresh did not number (scrolled in by a few
                // pixels, or uncovered while the frame is dragged) is counted.
                bool cached = line < static_cast<int>(LineNumberCache.size()) && IsLineNumberFresh(line);
                if (!cached && countBefore < 0) {
                    countBefore = CountLogicalLinesBefore(EditControl, ReadLayoutPrint(EditControl), first,
                                                          range.lines[0].start, lineCount)
                                      .count;
                }
                int number = cached ? LineNumberCache[line] : countBefore + beginsSinceFirst;
                DrawNumber(dc, number, stripLeft - 4, y, height);
            }
        }
        if (Autowrap && runsOn && !barOpen) {
            barOpen = true;
            barTop = y;
        } else if (Autowrap && !runsOn && barOpen) {
            int end = std::min(y + height, band.bottom);
            if (visible && end > barTop) FillBar(dc, stripLeft, strip, barTop, end - 2);
            barOpen = false;
        }
        continues = runsOn;
    }
    if (Autowrap && barOpen) FillBar(dc, stripLeft, strip, barTop, band.bottom);
}

// The bottom of the editor's text, above its horizontal scroll bar.
int TextAreaBottom() {
    RECT client = {};
    GetClientRect(EditControl, &client);
    return client.bottom;
}

}  // namespace

LRESULT CALLBACK GutterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return PaintGutter(window);
    case WM_ERASEBKGND: return 1;  // everything is painted through the back buffer
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT PaintGutter(HWND gutter) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(gutter, &paint);
    RECT client;
    GetClientRect(gutter, &client);
    int width = client.right, height = client.bottom;
    Band band = {paint.rcPaint.top, paint.rcPaint.bottom};
    if (band.top >= band.bottom) band = {0, height};

    PrepareBackBuffer(dc, width, height);
    HDC buffer = GutterBackBuffer.dc;
    {
        SelectedObject bitmap(buffer, GutterBackBuffer.bitmap);
        RECT fill = {0, band.top, width, band.bottom};
        FillRect(buffer, &fill, GutterBackgroundBrush);
        SetBkMode(buffer, TRANSPARENT);
        SetTextColor(buffer, ThemeTable[ColorIndex].gutterText);
        SelectedObject font(buffer, GutterFont);
        // Rows behind the editor's horizontal scroll bar are hidden there,
        // so they get no number here either.
        Band lines = {band.top, std::min(band.bottom, TextAreaBottom())};
        if (lines.top < lines.bottom) {
            int saved = SaveDC(buffer);
            IntersectClipRect(buffer, 0, lines.top, width, lines.bottom);
            DrawNumbersAndBars(buffer, width, lines);
            RestoreDC(buffer, saved);
        }
        BitBlt(dc, 0, band.top, width, band.bottom - band.top, buffer, 0, band.top, SRCCOPY);
    }
    EndPaint(gutter, &paint);
    return 0;
}

int GutterWidthForText(int textWidth) {
    int strip = Autowrap ? Round(2 * DpiScale) + 4 : 0;
    return textWidth + Round(7 * DpiScale) + strip;
}

int MeasureLineHeight(HWND window) {
    WindowDc dc(window);
    SelectedObject font(dc.Get(), GutterFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.Get(), &metrics);
    LineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    return LineHeight;
}
