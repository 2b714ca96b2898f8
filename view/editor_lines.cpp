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

LONG CharacterCount(HWND edit) {
    GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
    return static_cast<LONG>(SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

std::wstring ReadText(HWND edit, LONG from, LONG to) {
    if (to <= from) return std::wstring();
    std::wstring text(static_cast<size_t>(to - from) + 1, L'\0');
    TEXTRANGEW range = {{from, to}, text.data()};
    LRESULT copied = SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}
