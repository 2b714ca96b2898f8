// The menu bar: File, Edit, Options (Font, Size, Zoom, Theme, Auto-Wrapping)
// and Help. After creation only check marks change.
#include "app/app.h"

#include <string>

#include "resources/resource.h"
#include "view/view.h"

static HMENU BuildFileMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_FILE_NEW, L"&New\tCtrl+N");
    AppendMenuW(menu, MF_STRING, IDM_FILE_OPEN, L"&Open\tCtrl+O");
    AppendMenuW(menu, MF_STRING, IDM_FILE_SAVE, L"&Save\tCtrl+S");
    AppendMenuW(menu, MF_STRING, IDM_FILE_SAVE_AS, L"&Save As\tCtrl+Shift+S");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_FILE_PRINT, L"&Print\tCtrl+P");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_FILE_EXIT, L"E&xit\tAlt+F4");
    return menu;
}

static HMENU BuildEditMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_EDIT_UNDO, L"&Undo\tCtrl+Z");
    AppendMenuW(menu, MF_STRING, IDM_EDIT_REDO, L"&Redo\tCtrl+Y");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_EDIT_CUT, L"Cu&t\tCtrl+X");
    AppendMenuW(menu, MF_STRING, IDM_EDIT_COPY, L"&Copy\tCtrl+C");
    AppendMenuW(menu, MF_STRING, IDM_EDIT_PASTE, L"&Paste\tCtrl+V");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_EDIT_FIND, L"&Find...\tCtrl+F");
    AppendMenuW(menu, MF_STRING, IDM_EDIT_REPLACE, L"&Replace...\tCtrl+H");
    AppendMenuW(menu, MF_STRING, IDM_EDIT_GOTO, L"&Go to\tCtrl+G");
    return menu;
}

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

static HMENU BuildHelpMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_HELP_CHECK_UPDATE, L"&Check Update");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_HELP_ABOUT, L"&About");
    return menu;
}

HMENU BuildMenuBar() {
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildFileMenu()), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildEditMenu()), L"&Edit");

    HMENU options = CreatePopupMenu();
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildFontMenu()), L"&Font");
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildSizeMenu()), L"&Size");
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildZoomMenu()), L"&Zoom");
    AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildThemeMenu()), L"&Theme");
    AppendMenuW(options, MF_STRING | (Autowrap ? MF_CHECKED : MF_UNCHECKED), IDM_OPTIONS_AUTOWRAP,
                L"Auto-Wrapping\tCtrl+W");

    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"&Options");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildHelpMenu()), L"&Help");
    return bar;
}

// The Options submenus are found by position, through the editor's parent,
// so that the routines which set check marks need no menu handle of their own.
HMENU GetOptionsSubmenu(int position) {
    HMENU bar = GetMenu(GetParent(EditControl));
    if (!bar) return nullptr;
    HMENU options = GetSubMenu(bar, MENU_POS_OPTIONS);
    return options ? GetSubMenu(options, position) : nullptr;
}
