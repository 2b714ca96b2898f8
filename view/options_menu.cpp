// The Options menu: Font, Size, Zoom, Theme and Auto-Wrapping; after
// creation only its check marks change.
#include "view/view.h"

#include <string>

#include "app/app_values.h"
#include "resources/resource.h"

// Faces that are not installed stay listed, disabled (not greyed) and
// marked, so the user sees what the editor would offer.
static HMENU BuildFontMenu() {
    HMENU menu = CreatePopupMenu();
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < FontCount; ++i) {
        if (i == 3) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        if (IsFontInstalled(screen, FontTable[i])) {
            AppendMenuW(menu, MF_STRING, IDM_FONT_FIRST + i, FontTable[i]);
        } else {
            std::wstring label = std::wstring(FontTable[i]) + L" (not installed)";
            AppendMenuW(menu, MF_STRING | MF_DISABLED, IDM_FONT_FIRST + i, label.c_str());
        }
    }
    ReleaseDC(nullptr, screen);
    return menu;
}

static HMENU BuildSizeMenu() {
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < FontSizeCount; ++i) {
        AppendMenuW(menu, MF_STRING, IDM_SIZE_FIRST + i, std::to_wstring(FontSizeTable[i]).c_str());
    }
    return menu;
}

static HMENU BuildZoomMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_ZOOM_OUT, L"-10%\tCtrl -");
    AppendMenuW(menu, MF_STRING, IDM_ZOOM_IN, L"+10%\tCtrl +");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ZOOM_100, L"100%\tCtrl+1");
    AppendMenuW(menu, MF_STRING, IDM_ZOOM_150, L"150%\tCtrl+2");
    AppendMenuW(menu, MF_STRING, IDM_ZOOM_200, L"200%\tCtrl+3");
    AppendMenuW(menu, MF_STRING, IDM_ZOOM_300, L"300%\tCtrl+4");
    return menu;
}

static HMENU BuildThemeMenu() {
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < ThemeCount; ++i) {
        AppendMenuW(menu, MF_STRING, IDM_THEME_FIRST + i, ThemeTable[i].name);
    }
    return menu;
}

HMENU BuildOptionsMenu() {
    HMENU options = CreatePopupMenu();
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildFontMenu()), L"&Font");
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildSizeMenu()), L"&Size");
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildZoomMenu()), L"&Zoom");
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildThemeMenu()), L"&Theme");
    AppendMenuW(options, MF_STRING | (Autowrap ? MF_CHECKED : MF_UNCHECKED), IDM_OPTIONS_AUTOWRAP,
                L"Auto-Wrapping\tCtrl+W");
    return options;
}

// The Options submenus are found by position, through the editor's parent,
// so that the routines which set check marks need no menu handle of their own.
HMENU GetOptionsSubmenu(int position) {
    HMENU bar = GetMenu(GetParent(EditControl));
    if (!bar) return nullptr;
    HMENU options = GetSubMenu(bar, MENU_POS_OPTIONS);
    return options ? GetSubMenu(options, position) : nullptr;
}
