// The rich edit control's answers about its display lines, one message
// each. Under Wine each of them but the character count walks the paragraphs
// from the top of the document, so their callers ask as few as they can.
#include "view/editor_lines.h"

#include <richedit.h>

LONG LineStart(HWND edit, int line) { return static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, line, 0)); }

LONG LineLength(HWND edit, LONG position) {
    return static_cast<LONG>(SendMessageW(edit, EM_LINELENGTH, position, 0));
}

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

LONG ReadTextInto(HWND edit, LONG from, LONG to, std::vector<wchar_t>& buffer) {
    if (to <= from) return 0;
    if (buffer.size() < static_cast<size_t>(to - from) + 1) buffer.resize(static_cast<size_t>(to - from) + 1);
    TEXTRANGEW range = {{from, to}, buffer.data()};
    LRESULT copied = SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return copied > 0 ? static_cast<LONG>(copied) : 0;
}

// EM_GETTEXTLENGTHEX counts each paragraph mark as two characters when
// asked to count line ends as CR LF, and the control keeps that count
// (Wine answers it without walking the text).
LONG CountParagraphMarks(HWND edit, LONG textLength) {
    GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    LRESULT withPairs = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    return withPairs >= textLength ? static_cast<LONG>(withPairs) - textLength : -1;
}

// Whether the line starting at `start` runs on into the next one, which
// starts at `next`, judged by the character before `next`: a paragraph
// mark ends a logical line, and any other character ends a display line
// only by wrapping (Wine's soft line break, Shift+Enter, reads as a space
// and runs on like one). A vertical tab, Windows' soft line break, is left
// to the control. `start` is looked up when passed as -1.
bool LineRunsOn(HWND edit, int line, LONG start, LONG next, wchar_t last) {
    if (last == L'\r') return false;
    if (last != L'\v') return true;
    if (start < 0) start = LineStart(edit, line);
    return next == start + LineLength(edit, start);
}
