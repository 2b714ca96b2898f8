// The editor view: line-number gutter, status bar, fonts and sizes,
// themes, zoom, word wrap and the settings file.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// Process-wide view state (GUI thread only).
extern uint8_t FontIndex;   // 0..5, index into FontTable
extern uint8_t FontSize;    // 10..22, pixels at 96 DPI
extern uint8_t ColorIndex;  // 0..5, row of ThemeTable
extern bool Autowrap;
extern int ZoomPercent;  // 10..500
extern bool WrapToggleActive;
extern HFONT EditorFont;
extern HFONT GutterFont;
extern HBRUSH EditorBackgroundBrush;
extern HBRUSH GutterBackgroundBrush;
extern HBRUSH WrapBarBrush;
extern int GutterWidth;
extern int LineHeight;
extern int DigitThreshold;  // the gutter widens when the document's line count reaches it

// fonts.cpp
constexpr int FontCount = 6;
extern const wchar_t* const FontTable[FontCount];
constexpr int FontSizeCount = 13;
extern const int FontSizeTable[FontSizeCount];
HFONT CreateEditorFont(HWND window);
HFONT CreateGutterFont(HWND window);
bool IsFontInstalled(HDC dc, const wchar_t* face);
void RebuildEditorFont();              // for MainWindow's DPI; keeps the document's modified state
void ApplyViewOption(UINT commandId);  // fonts, sizes and themes; ignores other ids

// themes.cpp
struct Theme {
    const wchar_t* name;
    COLORREF editorBackground, text, gutterBackground, gutterText, wrapBar;
};
constexpr int ThemeCount = 6;
extern const Theme ThemeTable[ThemeCount];
void ApplyTheme(UINT commandId);
void ApplyThemeTextColour();           // to EditControl
void ApplyThemeTextColour(HWND edit);  // to any editor
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

// settings.cpp
std::wstring OpenSettingsFile();
void LoadSettings();
void SaveSettings();
