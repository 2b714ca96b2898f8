// Where word wrap breaks a paragraph of the editor's text, learnt from a
// hidden model editor set up with the same width, font and zoom. Under
// Wine every position query to the editor itself walks the document from
// the top; the model holds one paragraph, so asking it costs next to
// nothing. Its answers are predictions, which the caller confirms.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <vector>

// Everything besides the text that decides how an editor lays its lines out.
struct WrapLayout {
    RECT client, format;
    DWORD zoomNumerator, zoomDenominator;
    CHARFORMAT2W font;
    UINT dpi;
};
WrapLayout ReadWrapLayout(HWND edit);
bool SameWrapLayout(const WrapLayout& a, const WrapLayout& b);

// How long a text the model lays out at once; a longer paragraph is not predicted.
constexpr LONG WrapModelLength = 16384;

// The display lines of `length` characters (whole paragraphs, without the
// last one's mark) laid out as in the editor `edit`: the offsets at which
// they begin, 0 first. False when the model cannot stand for the editor.
bool PredictLineStarts(HWND edit, const wchar_t* text, LONG length, std::vector<LONG>* starts);
