// Colour themes, and the main window's own background.
#include "view/view.h"

#include <richedit.h>
#include <uxtheme.h>

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

uint8_t ColorIndex = 0;
HBRUSH EditorBackgroundBrush = nullptr;
HBRUSH GutterBackgroundBrush = nullptr;
HBRUSH WrapBarBrush = nullptr;

const Theme ThemeTable[ThemeCount] = {
    {L"Pure White", RGB(255, 255, 255), RGB(0, 0, 0), RGB(240, 240, 240), RGB(140, 140, 140),
     RGB(180, 180, 180)},
    {L"Warm", RGB(255, 244, 229), RGB(5, 5, 5), RGB(242, 230, 212), RGB(150, 130, 105), RGB(210, 190, 160)},
    {L"Dark Blue 1", RGB(4, 6, 8), RGB(245, 245, 245), RGB(12, 18, 24), RGB(90, 110, 130), RGB(50, 70, 90)},
    {L"Dark Blue 2", RGB(4, 6, 8), RGB(255, 221, 87), RGB(12, 18, 24), RGB(90, 110, 130), RGB(50, 70, 90)},
    {L"Dark Gray 1", RGB(30, 30, 30), RGB(245, 245, 245), RGB(42, 42, 42), RGB(120, 120, 120),
     RGB(80, 80, 80)},
    {L"Dark Gray 2", RGB(30, 30, 30), RGB(255, 221, 87), RGB(42, 42, 42), RGB(120, 120, 120),
     RGB(80, 80, 80)},
};

static void ReplaceBrush(HBRUSH& brush, COLORREF colour) {
    if (brush) DeleteObject(brush);
    brush = CreateSolidBrush(colour);
}

void ApplyThemeTextColour() { SetEditorTextColour(EditControl, ThemeTable[ColorIndex].text); }

void ApplyTheme(UINT commandId) {
    ColorIndex = static_cast<uint8_t>(commandId - IDM_THEME_FIRST);
    const Theme& theme = ThemeTable[ColorIndex];
    ReplaceBrush(EditorBackgroundBrush, theme.editorBackground);
    ReplaceBrush(WrapBarBrush, theme.wrapBar);
    ReplaceBrush(GutterBackgroundBrush, theme.gutterBackground);

    // Recolouring marks the control modified; a document that held no edit
    // must not ask to be saved because of a new theme. An edit it held stays.
    bool heldEdit = SendMessageW(EditControl, EM_GETMODIFY, 0, 0) != 0;
    SendMessageW(EditControl, EM_SETBKGNDCOLOR, 0, theme.editorBackground);
    ApplyThemeTextColour();
    if (!heldEdit) SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);

    InvalidateRect(GutterWindow, nullptr, TRUE);
    UpdateWindow(GutterWindow);

    SendMessageW(EditControl, EM_SETUNDOLIMIT, 0, 0);
    SendMessageW(EditControl, EM_SETUNDOLIMIT, 100, 0);
    // Wine keeps the history when the limit drops to 0; Windows empties it.
    SendMessageW(EditControl, EM_EMPTYUNDOBUFFER, 0, 0);
    ForgetEditorHistory();

    HMENU themes = GetOptionsSubmenu(OPTIONS_POS_THEME);
    if (themes) CheckMenuRadioItem(themes, IDM_THEME_FIRST, IDM_THEME_LAST, commandId, MF_BYCOMMAND);
}

LRESULT OnMainWindowEraseBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(ThemeTable[ColorIndex].editorBackground);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    return 1;
}

// While word wrap is toggled the editor is re-laid out with drawing off;
// the frame is filled with the editor's colour meanwhile, so no flash of
// the system colour shows between the children.
LRESULT OnMainWindowPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (WrapToggleActive) {
        HDC bufferDc = nullptr;
        HPAINTBUFFER buffer =
            BeginBufferedPaint(dc, &paint.rcPaint, BPBF_COMPATIBLEBITMAP, nullptr, &bufferDc);
        if (buffer) {
            FillRect(bufferDc, &paint.rcPaint, EditorBackgroundBrush);
            EndBufferedPaint(buffer, TRUE);
        }
    }
    EndPaint(window, &paint);
    return 0;
}
