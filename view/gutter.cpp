// The line-number gutter left of the editor.
#include "view/view.h"

#include <richedit.h>

#include <string>

#include "app/app.h"

const wchar_t GutterClassName[] = L"GutterClass";
int GutterWidth = 0;
int LineHeight = 16;
std::vector<int32_t> LineNumberCache;

LRESULT CALLBACK GutterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return PaintGutter(window);
    case WM_ERASEBKGND: return 1;  // everything is painted through WM_PAINT
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

static int Round(float value) { return static_cast<int>(value + 0.5f); }

int GutterWidthForText(int textWidth) {
    int strip = Autowrap ? Round(2 * DpiScale) + 4 : 0;
    return textWidth + Round(7 * DpiScale) + strip;
}

static int MeasureNumberWidth(HWND window, int number) {
    std::wstring text = std::to_wstring(number);
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, GutterFont);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size.cx;
}

// Minimal: counts display lines as logical lines.
int ComputeGutterWidth(HWND window, HWND edit) {
    int count = edit ? static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0)) : 0;
    GutterWidth = GutterWidthForText(MeasureNumberWidth(window, count < 10 ? 10 : count));
    return GutterWidth;
}

int MeasureLineHeight(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, GutterFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    LineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    return LineHeight;
}

// Minimal: the cache is not kept yet.
void RefreshLineNumberCache(HWND, int) { GutterDirty = false; }

// Minimal: the background only; numbers come with the full gutter.
LRESULT PaintGutter(HWND gutter) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(gutter, &paint);
    if (GutterBackgroundBrush) FillRect(dc, &paint.rcPaint, GutterBackgroundBrush);
    EndPaint(gutter, &paint);
    return 0;
}
