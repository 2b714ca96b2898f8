// The editor's and the gutter's fonts, and the Font and Size commands.
#include "view/view.h"

#include <richedit.h>

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

uint8_t FontIndex = 0;
uint8_t FontSize = 18;
HFONT EditorFont = nullptr;
HFONT GutterFont = nullptr;

const wchar_t* const FontTable[FontCount] = {L"Consolas",  L"Courier New",    L"Lucida Console",
                                             L"Fira Code", L"JetBrains Mono", L"Source Code Pro"};
const int FontSizeTable[FontSizeCount] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};

static HFONT CreateFixedFont(int height) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH, FontTable[FontIndex]);
}

// Negative heights ask for the character height, not the cell height.
HFONT CreateEditorFont(HWND window) {
    return CreateFixedFont(-MulDiv(FontSize, GetDpiForWindow(window), 96));
}

// The gutter's numbers carry the zoom themselves; the editor's text gets
// it from the control.
HFONT CreateGutterFont(HWND window) {
    return CreateFixedFont(-MulDiv(FontSize * ZoomPercent, GetDpiForWindow(window), 9600));
}

static int CALLBACK OnFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // the first match is enough
}

bool IsFontInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW font = {};
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);  // at most 31 characters and the terminator
    font.lfCharSet = DEFAULT_CHARSET;
    bool found = false;
    EnumFontFamiliesExW(dc, &font, OnFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// WM_SETFONT and the colour restyle below can mark the control modified.
// The flag is cleared again only when the control held no edit before: an
// edit typed a moment ago may not have reached IsModified yet (its sync
// is still pending), and clearing it then would lose the unsaved-changes
// prompt for it.
void RebuildEditorFont() {
    bool heldEdit = SendMessageW(EditControl, EM_GETMODIFY, 0, 0) != 0;
    HFONT previous = EditorFont;
    EditorFont = CreateEditorFont(MainWindow);
    SendMessageW(EditControl, WM_SETFONT, reinterpret_cast<WPARAM>(EditorFont), TRUE);
    if (previous) DeleteObject(previous);
    ApplyThemeTextColour();
    if (!IsModified && !heldEdit) SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);
}

// The line numbers follow the chosen face and size at once.
static void RebuildGutterForFont() {
    HFONT previous = GutterFont;
    GutterFont = CreateGutterFont(MainWindow);
    MeasureLineHeight(MainWindow);
    if (previous) DeleteObject(previous);
    ComputeGutterWidth(MainWindow, EditControl);
    LayoutMainWindow(MainWindow);
    InvalidateRect(GutterWindow, nullptr, FALSE);
}

static void CheckInGroup(int position, UINT first, UINT last, UINT id) {
    HMENU group = GetOptionsSubmenu(position);
    if (group) CheckMenuRadioItem(group, first, last, id, MF_BYCOMMAND);
}

static void ApplyFont(UINT id) {
    FontIndex = static_cast<uint8_t>(id - IDM_FONT_FIRST);
    RebuildEditorFont();
    RebuildGutterForFont();
    CheckInGroup(OPTIONS_POS_FONT, IDM_FONT_FIRST, IDM_FONT_LAST, id);
}

static void ApplySize(UINT id) {
    FontSize = static_cast<uint8_t>(FontSizeTable[id - IDM_SIZE_FIRST]);
    RebuildEditorFont();
    RebuildGutterForFont();
    CheckInGroup(OPTIONS_POS_SIZE, IDM_SIZE_FIRST, IDM_SIZE_LAST, id);
}

void ApplyViewOption(UINT commandId) {
    if (commandId >= IDM_FONT_FIRST && commandId <= IDM_FONT_LAST) {
        ApplyFont(commandId);
    } else if (commandId >= IDM_SIZE_FIRST && commandId <= IDM_SIZE_LAST) {
        ApplySize(commandId);
    } else if (commandId >= IDM_THEME_FIRST && commandId <= IDM_THEME_LAST) {
        ApplyTheme(commandId);
    }
}
