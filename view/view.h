// The editor view: line-number gutter, status bar, fonts and sizes,
// themes, zoom, word wrap, the Options menu, the layout of the main
// window's children and the settings file.
#pragma once

#include <windows.h>
#include <string>

#include "view/view_values.h"

struct TextShape;

// fonts.cpp
HFONT CreateEditorFont(HWND window);
HFONT CreateGutterFont(HWND window);
bool IsFontInstalled(HDC dc, const wchar_t* face);
void RebuildEditorFont();              // for MainWindow's DPI; keeps the document's modified state
void ApplyViewOption(UINT commandId);  // fonts, sizes and themes; ignores other ids

// themes.cpp
void ApplyTheme(UINT commandId);
void ApplyThemeTextColour();  // to EditControl
LRESULT OnMainWindowEraseBackground(HWND window, HDC dc);
LRESULT OnMainWindowPaint(HWND window);

// zoom_wrap.cpp
void ZoomCommand(UINT commandId);
void SetZoom(int percent);
void ResetView();
void ToggleAutoWrap();

// gutter.cpp
extern const wchar_t GutterClassName[];  // "GutterClass"
LRESULT CALLBACK GutterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PaintGutter(HWND gutter);
int GutterWidthForText(int textWidth);
int MeasureLineHeight(HWND window);
int ComputeGutterWidth(HWND window, HWND edit);      // for the document's line count
int SetGutterWidthForLines(HWND window, int lines);  // the same for a known count

// visible_lines.cpp: how the gutter and the status bar learn where the
// visible display lines are, chosen once from what the control's answers cost.
void ChooseLineReading();
// What that measurement found: a control with no array of its lines, which
// walks its paragraphs from the top for each answer (Wine's).
bool ControlWalksItsParagraphs();

// status_bar.cpp
void UpdateStatusBar();
void SetStatusBarFont(int dpi);     // the system's menu font at that DPI
void ScheduleStatusBarUpdate();  // EN_SELCHANGE: UpdateStatusBar once the control is done
void OnScheduledStatusBarUpdate();  // its WM_UPDATESTATUSBAR

// size_text.cpp: "1023 bytes", "1.5 KB", ... for a count of characters.
std::wstring FormatSizeText(long long characters);

// layout.cpp: tiling of the main window's children, and the window laid
// out for EditControl's text (WM_LAYOUTFORTEXT): with a shape, the gutter
// sized for its lines first, and a large text about to go in finding its
// scroll bars in place.
void LayoutMainWindow(HWND window);
void LayOutForText(HWND window, const TextShape* shape);

// options_menu.cpp: the Options menu, and finding its submenus by position.
HMENU BuildOptionsMenu();
HMENU GetOptionsSubmenu(int position);  // Font, Size, Zoom or Theme; null when absent

// settings.cpp
std::wstring OpenSettingsFile();
void LoadSettings();
void SaveSettings();
