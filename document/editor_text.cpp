// The editor's text as the control holds it: how many characters it has,
// a line break counting one, and a range of them.
#include "document/document.h"

#include <richedit.h>

LONG CharacterCount(HWND edit) {
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
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
