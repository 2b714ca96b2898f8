// Where word wrap breaks a paragraph of the editor's text, learnt from a
// hidden model editor set up with the same width, font and zoom. Under
// Wine every position query to the editor itself walks the document from
// the top; the model holds one paragraph, so asking it costs next to
// nothing. Its answers are predictions, which the caller confirms.
#pragma once

#include <windows.h>

#include <vector>

// How long a paragraph the model lays out; a longer one is not predicted.
constexpr LONG WrapModelLength = 16384;

// The display lines of `length` characters (one paragraph, without its
// mark) laid out as in the editor `edit`: the offsets at which they begin,
// 0 first. False when the model cannot stand for the editor.
bool PredictLineStarts(HWND edit, const wchar_t* text, LONG length, std::vector<LONG>* starts);
