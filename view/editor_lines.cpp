// The rich edit control's answers about its display lines, one message
// each. Under Wine each of them but the character count walks the paragraphs
// from the top of the document, so their callers ask as few as they can.
#include "view/editor_lines.h"

#include <richedit.h>

LONG LineStart(HWND edit, int line) { return static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, line, 0)); }

int LineOf(HWND edit, LONG position) {
    return static_cast<int>(SendMessageW(edit, EM_EXLINEFROMCHAR, 0, position));
}

LONG TopOf(HWND edit, LONG position) {
    POINTL point = {};
    SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), position);
    return point.y;
}

