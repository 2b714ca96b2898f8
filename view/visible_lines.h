// Where the editor's visible display lines start and stand, read in one of
// two ways chosen once at start-up: by asking the control about each line,
// or, where its answers cost time that grows with the position (Wine), from
// the paragraph index, the visible text and a model of the wrapping, with
// answers of the control to confirm them.
#pragma once

#include <windows.h>

#include <vector>

#include "document/paragraph_index.h"

struct VisibleLine {
    LONG start;  // EM_LINEINDEX of the line
    LONG top;    // EM_POSFROMCHAR's y for that start, editor client coordinates
};

enum class LineReading { AskEachLine, FromIndex };
// Set by ChooseLineReading (view.h) at start-up; tests set it to force a way.
extern LineReading VisibleLineReading;

// The lines from the first visible one down to the first whose top is at
// or below the bottom of the editor's client area (that one included), or
// to the document's last line.
std::vector<VisibleLine> ReadVisibleLines(HWND edit, const ParagraphIndex& index);

// Where the display line holding `position` starts (EM_LINEINDEX of its
// EM_EXLINEFROMCHAR).
LONG DisplayLineStart(HWND edit, const ParagraphIndex& index, LONG position);
