// Tiling of the main window's children (gutter, editor, status bar), and
// the window made ready for a text about to go into the editor.
#include "view/view.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "app/app_values.h"
#include "document/document.h"

// The editor's text starts this far inside its client area, at any DPI.
constexpr int TextInset = 3;

void LayoutMainWindow(HWND window) {
    RECT client, status;
    GetClientRect(window, &client);
    GetWindowRect(StatusBar, &status);
    int width = client.right, height = client.bottom;
    int statusHeight = status.bottom - status.top;
    int bandHeight = height - statusHeight;

    HDWP batch = BeginDeferWindowPos(3);
    batch = DeferWindowPos(batch, StatusBar, nullptr, 0, bandHeight, width, statusHeight, SWP_NOZORDER);
    batch = DeferWindowPos(batch, GutterWindow, nullptr, 0, 0, GutterWidth, bandHeight, SWP_NOZORDER);
    batch = DeferWindowPos(batch, EditControl, nullptr, GutterWidth, 0, width - GutterWidth, bandHeight,
                           SWP_NOZORDER);
    EndDeferWindowPos(batch);
    SendMessageW(StatusBar, WM_SIZE, 0, 0);
    // The parts are laid out for the new width, and with word wrap on the
    // caret's column may have moved with the lines.
    UpdateStatusBar();

    RECT format, current;
    GetClientRect(EditControl, &format);
    format.left += TextInset;
    format.top += TextInset;
    // Wine's control lays the whole text out again on every EM_SETRECTNP,
    // even to the rectangle it already has: seconds on a large document.
    SendMessageW(EditControl, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&current));
    if (!EqualRect(&format, &current))
        SendMessageW(EditControl, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
    if (Autowrap) ShowScrollBar(EditControl, SB_HORZ, FALSE);
}

enum class BarNeed { No, Yes, Unsure };

static BarNeed Compare(double needed, double room) {
    if (needed > room * 1.15 + 1) return BarNeed::Yes;
    if (needed < room * 0.85) return BarNeed::No;
    return BarNeed::Unsure;
}

// Wine's control lays its whole text out again each time one of its scroll
// bars appears: twice after a large load with word wrap off, 1.8 s of a
// 6.2 s load of 10 MB; with word wrap on and lines of 300 characters a
// load of 10 MB took 820 s instead of 8 (on a busy machine). A small
// stand-in text that surely needs the same bars shows them before the text
// goes in, and the text finds them in place. A bar whose need is unclear
// is left to the control, as before. Only a control found at start-up to
// walk its paragraphs (Wine's) gets the stand-in: one that keeps an array
// of its lines has no such relayout.
static void ShowScrollBarsForText(HWND edit, const TextShape& shape) {
    RECT area;
    GetWindowRect(edit, &area);
    double width = area.right - area.left, height = area.bottom - area.top;
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(edit);
    HGDIOBJ previous = SelectObject(dc, EditorFont ? EditorFont : GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    double zoom = ZoomPercent / 100.0;
    double lineHeight = std::max(1.0, metrics.tmHeight * zoom);
    double charWidth = std::max(1.0, metrics.tmAveCharWidth * zoom);
    double rows = shape.paragraphs;
    if (Autowrap) rows = std::max(rows, shape.characters * charWidth / width);
    BarNeed vertical = Compare(rows * lineHeight, height);
    BarNeed horizontal = BarNeed::No;
    if (!Autowrap) {
        double room = width - (vertical == BarNeed::No ? 0 : GetSystemMetrics(SM_CXVSCROLL));
        horizontal = Compare(shape.widestColumns * charWidth, room);
    }
    if (vertical != BarNeed::Yes && horizontal != BarNeed::Yes) return;
    std::wstring standIn;
    if (vertical == BarNeed::Yes) standIn.assign(static_cast<size_t>(height / lineHeight) * 2 + 2, L'\r');
    if (horizontal == BarNeed::Yes) standIn.append(static_cast<size_t>(width / charWidth) * 2 + 10, L'x');
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(standIn.c_str()));
}

// Wine's control lays its whole text out again whenever its width changes:
// seconds for a large document. The gutter takes the width the new text's
// line numbers need before the text goes in (the control holds at most a
// small old text: a large one has gone with its control), so the layout
// that follows a load finds nothing to change and the text is laid out once.
void LayOutForText(HWND window, const TextShape* shape) {
    if (shape) SetGutterWidthForLines(window, shape->paragraphs);
    LayoutMainWindow(window);
    if (shape && shape->characters > LargeTextLength && ControlWalksItsParagraphs())
        ShowScrollBarsForText(EditControl, *shape);
}
