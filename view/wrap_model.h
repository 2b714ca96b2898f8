// Where word wrap breaks a stretch of the editor's text, learnt from a
// hidden editor set up with the same width, font and zoom. Under Wine every
// position query to the editor itself walks the document from the top; the
// model holds a paragraph at most, so asking it costs next to nothing. Its
// answers are predictions, which the callers confirm with the editor
// unless its lines are sure to be the model's (a loaded text, never
// zoomed: see display_lines).
#pragma once

#include <windows.h>

#include <vector>

#include "view/display_lines.h"

// How far a model may lay one paragraph out at once: a longer text is
// predicted up to that length, and the rest from a later line's start.
constexpr LONG WrapModelLength = 16384;

// Display lines of `length` characters of text (no paragraph mark among
// them) laid out like the editor `edit`, whose layout `print` describes,
// from the left edge of its formatting rectangle: the offsets at which
// they begin, 0 first. False when no model editor matches the editor.
bool PredictLineStarts(HWND edit, const LayoutPrint& print, const wchar_t* text, LONG length,
                       std::vector<LONG>* starts);
