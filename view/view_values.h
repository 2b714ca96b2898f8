// Process-wide values of the view: the fonts, sizes, theme, zoom and word
// wrap in effect, and the gutter's measures; any folder may read them.
#pragma once

#include <windows.h>
#include <cstdint>

// GUI thread only.
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

constexpr int FontCount = 6;
extern const wchar_t* const FontTable[FontCount];
constexpr int FontSizeCount = 13;
extern const int FontSizeTable[FontSizeCount];

struct Theme {
    const wchar_t* name;
    COLORREF editorBackground, text, gutterBackground, gutterText, wrapBar;
};
constexpr int ThemeCount = 6;
extern const Theme ThemeTable[ThemeCount];
