// Zoom of the editor and word wrap.
#include "view/view.h"

#include <richedit.h>

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

int ZoomPercent = 100;
bool Autowrap = false;
bool WrapToggleActive = false;

struct ZoomPreset {
    UINT id;
    int numerator, denominator;
};
static const ZoomPreset ZoomPresets[] = {
    {IDM_ZOOM_100, 1, 1}, {IDM_ZOOM_150, 3, 2}, {IDM_ZOOM_200, 2, 1}, {IDM_ZOOM_300, 3, 1}};

static int CurrentZoomPercent() {
    int numerator = 0, denominator = 0;
    SendMessageW(EditControl, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    if (denominator == 0) numerator = denominator = 1;
    return MulDiv(numerator, 100, denominator);
}

// The steps work on the control's own zoom, not on a list of levels.
void ZoomCommand(UINT commandId) {
    if (commandId == IDM_ZOOM_OUT || commandId == IDM_ZOOM_IN) {
        int current = CurrentZoomPercent();
        SetZoom(commandId == IDM_ZOOM_OUT ? current - 10 : current + 10);
        return;
    }
    for (const ZoomPreset& preset : ZoomPresets) {
        if (preset.id != commandId) continue;
        SetZoom(MulDiv(preset.numerator, 100, preset.denominator));
        return;
    }
}

// Wine's control lays the whole text out again on every EM_SETZOOM, even
// to the zoom it already has: seconds on a large document.
static void SetEditorZoom(int percent) {
    if (CurrentZoomPercent() != percent) SendMessageW(EditControl, EM_SETZOOM, percent, 100);
}

static void ReplaceGutterFont() {
    if (GutterFont) DeleteObject(GutterFont);
    GutterFont = CreateGutterFont(MainWindow);
}

// The zoom scales the text but not the editor's width, so wrapped text
// breaks at other places: the gutter recounts its lines.
void SetZoom(int percent) {
    ZoomPercent = percent < 10 ? 10 : percent > 500 ? 500 : percent;
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
    SendMessageW(GutterWindow, WM_SETREDRAW, FALSE, 0);
    SendMessageW(MainWindow, WM_SETREDRAW, FALSE, 0);
    SetEditorZoom(ZoomPercent);
    ReplaceGutterFont();
    ComputeGutterWidth(MainWindow, EditControl);
    LayoutMainWindow(MainWindow);
    SendMessageW(MainWindow, WM_SETREDRAW, TRUE, 0);
    SendMessageW(GutterWindow, WM_SETREDRAW, TRUE, 0);
    ResumeEditorDrawing(EditControl);
    RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    UpdateStatusBar();
}

// New and Open put their text in with the zoom of the old document.
void ResetView() {
    ZoomPercent = 100;
    SetEditorZoom(100);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, EditorEventMask);
    ReplaceGutterFont();
    ComputeGutterWidth(MainWindow, EditControl);
    LayoutMainWindow(MainWindow);
    InvalidateRect(GutterWindow, nullptr, TRUE);
}

// The main window paints its background in the editor's colour while the
// editor is re-laid out with drawing off (WrapToggleActive). Every display
// line may break differently afterwards.
void ToggleAutoWrap() {
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
    WrapToggleActive = true;
    Autowrap = !Autowrap;
    SendMessageW(EditControl, EM_SETTARGETDEVICE, 0, Autowrap ? 0 : 1);
    LayoutMainWindow(GetParent(EditControl));
    POINT origin = {0, 0};
    SendMessageW(EditControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&origin));
    WrapToggleActive = false;
    ResumeEditorDrawing(EditControl);
    UpdateWindow(EditControl);
    RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CheckMenuItem(GetMenu(MainWindow), IDM_OPTIONS_AUTOWRAP,
                  MF_BYCOMMAND | (Autowrap ? MF_CHECKED : MF_UNCHECKED));
    UpdateStatusBar();
}
