// The editor's display lines as the gutter and the status bar need them:
// where each visible line starts, where it stands, whether it runs on into
// the next.
// Wine answers EM_LINEINDEX, EM_POSFROMCHAR and their kin in time that grows
// with the position, so these readers keep what they learnt and ask again
// only what may have changed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DisplayLine {
    LONG start;      // EM_LINEINDEX of the line; see ReadLinesAtTheEnd
    LONG top;        // EM_POSFROMCHAR's y for that start, editor client coordinates
    bool continues;  // runs on into the next line: no line break between them
};

// Lines first, first + 1, ... down to the first whose top is at or below
// the bottom asked for (that one included), or to the document's last line.
// A line's `continues` is false when the next line is not in the range.
struct DisplayLineRange {
    int first = 0;
    bool firstContinues = false;  // line first - 1 runs on into line first
    std::vector<DisplayLine> lines;
};

// Everything besides the text that decides how the editor lays its lines
// out, and the text's length: two equal prints over the same text give the
// same lines.
struct LayoutPrint {
    RECT client, format;
    DWORD zoomNumerator, zoomDenominator;
    LONG fontHeight, fontWeight;
    DWORD fontEffects;
    wchar_t fontFace[LF_FACESIZE];
    bool wrap;
    LONG textLength;
    UINT dpi;
};
LayoutPrint ReadLayoutPrint(HWND edit);

// How much text the readers may always read at once; beyond it they read
// only as much as the document's paragraphs make cheaper than asking the
// control (a few long paragraphs are asked about instead).
extern LONG FreeTextReadLength;
bool SameLayout(const LayoutPrint& a, const LayoutPrint& b);

// The text or the layout changed in a way a print cannot show (an edit
// that kept the length, a new document): nothing read so far is reused
// without checking it against the text.
void ForgetDisplayLines();
// Raised by ForgetDisplayLines: what was learnt under another value is stale.
unsigned TextGeneration();

const DisplayLineRange& ReadDisplayLines(HWND edit, const LayoutPrint& print, int first, int lineCount,
                                         int bottom);

// The lines from the first visible one down to `bottom` when they can be
// read up from the caret at the end of the text, else nullptr. With word
// wrap off their starts may be left out (-1), but for the last line's.
const DisplayLineRange* ReadLinesAtTheEnd(HWND edit, const LayoutPrint& print, int lineCount, int bottom);

// The text from `from` to the end, when the lines read last were read
// with it and nothing changed since.
bool TextReadToTheEnd(const LayoutPrint& print, LONG from, std::wstring* text);

// The display line holding character `position` (EM_EXLINEFROMCHAR) and
// its start (EM_LINEINDEX), taken from the lines read last while they
// still describe the editor. `caret` says that the selection is empty at
// `position`, so that the caret's own line may answer.
struct LineOfPosition {
    int line;
    LONG start;
};
LineOfPosition FindLineOfPosition(HWND edit, const LayoutPrint& print, LONG position, int lineCount,
                                  bool caret);
