// The line-number gutter left of the editor: its window procedure, its
// painting through a back buffer kept between paints, its line height and
// its width for the document's line count.
#include "view/view.h"

#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "app/app_values.h"
#include "document/document.h"
#include "view/gdi_scope.h"
#include "view/visible_lines.h"

const wchar_t GutterClassName[] = L"GutterClass";
int GutterWidth = 0;
int LineHeight = 16;
int DigitThreshold = 10;

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

int MeasureGutterText(HWND window, const wchar_t* text) {
    WindowDc dc(window);
    SelectedObject font(dc.Get(), GutterFont);
    SIZE size = {};
    GetTextExtentPoint32W(dc.Get(), text, lstrlenW(text), &size);
    return size.cx;
}

// The gutter is as wide as the document's largest number needs, so no
// number that scrolls in is ever drawn clipped. It widens at once (the
// main window laid out anew) and narrows only when ComputeGutterWidth runs.
void WidenForLines(int lines) {
    if (lines < DigitThreshold) return;
    SetGutterWidthForLines(MainWindow, lines);
    LayoutMainWindow(MainWindow);
}

// A line begins a paragraph when it starts the text or follows a mark;
// its number is its paragraph's. With word wrap on a bar runs beside each
// paragraph that takes several lines, ending 2 pixels above the
// paragraph's last line, or at the band's bottom when it runs on.
void DrawNumbersAndBars(HDC dc, int width, Band band, const ParagraphIndex& index) {
    int strip = WrapStripWidth();
    int stripLeft = std::max(width - strip, 0);
    std::vector<VisibleLine> lines = ReadVisibleLines(EditControl, index);
    int height = LineHeight;
    bool barOpen = false;
    int barTop = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        int y = lines[i].top;
        if (y >= band.bottom) break;
        bool hasNext = i + 1 < lines.size();
        if (hasNext && lines[i + 1].top > y) height = lines[i + 1].top - y;
        bool runsOn = hasNext && !index.IsMark(lines[i + 1].start - 1);
        bool visible = band.top < y + height;
        if ((lines[i].start == 0 || index.IsMark(lines[i].start - 1)) && visible)
            DrawNumber(dc, index.ParagraphOf(lines[i].start) + 1, stripLeft - 4, y, height);
        if (Autowrap && runsOn && !barOpen) {
            barOpen = true;
            barTop = y;
        } else if (Autowrap && !runsOn && barOpen) {
            int end = std::min(y + height, band.bottom);
            if (visible && end > barTop) FillBar(dc, stripLeft, strip, barTop, end - 2);
            barOpen = false;
        }
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
    try {
        switch (message) {
        case WM_PAINT: return PaintGutter(window);
        case WM_ERASEBKGND: return 1;  // everything is painted through the back buffer
        default: return DefWindowProcW(window, message, wParam, lParam);
        }
    } catch (...) {
        return AnswerFailedMessage(window, message);
    }
}

// Reading the lines takes memory; should it run out, the paint is given
// up, its DC given back and the back buffer's state restored.
LRESULT PaintGutter(HWND gutter) {
    PaintDc paint(gutter);
    HDC dc = paint.Get();
    RECT client;
    GetClientRect(gutter, &client);
    int width = client.right, height = client.bottom;
    Band band = {paint.Rect().top, paint.Rect().bottom};
    if (band.top >= band.bottom) band = {0, height};

    // The index is read, and rebuilt if stale, before anything is drawn:
    // a wider gutter lays the main window out anew.
    const ParagraphIndex* index = EditorParagraphs(EditControl);
    if (index) WidenForLines(index->Count());
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
        if (index && lines.top < lines.bottom) {
            SavedDcState saved(buffer);
            IntersectClipRect(buffer, 0, lines.top, width, lines.bottom);
            DrawNumbersAndBars(buffer, width, lines, *index);
        }
        BitBlt(dc, 0, band.top, width, band.bottom - band.top, buffer, 0, band.top, SRCCOPY);
    }
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

int ComputeGutterWidth(HWND window, HWND edit) {
    const ParagraphIndex* index = edit ? EditorParagraphs(edit) : nullptr;
    return SetGutterWidthForLines(window, index ? index->Count() : 0);
}

// DigitThreshold becomes the power of ten the new width is made for, so
// that a narrowed gutter widens again as soon as the document needs it.
int SetGutterWidthForLines(HWND window, int lines) {
    int widest = std::max(lines, 10);
    GutterWidth = GutterWidthForText(MeasureGutterText(window, std::to_wstring(widest).c_str()));
    DigitThreshold = 10;
    while (DigitThreshold <= widest) DigitThreshold *= 10;
    return GutterWidth;
}
