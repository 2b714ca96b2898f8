// The text at the end of the document, whether its line breaks all read as
// such, and the watch that keeps both true.
//
// The watch holds while every change of the text is known: a character typed
// with the caret at the end (checked before and after the control takes
// it) is one; any other change reported (EN_CHANGE, an undo or redo), any
// message that sets or replaces text or formats, and any message at all
// while the editor does not report its changes, end the watch.
#include "view/known_end.h"

#include <richedit.h>

#include "document/document.h"
#include "view/editor_lines.h"

namespace {

struct EndWatch {
    bool valid = false;
    HWND edit = nullptr;
    LONG from = 0;
    std::wstring text;    // the text from `from` to the end
    bool typing = false;  // inside a character the watch follows
    unsigned serial = 0;  // raised by each new watch
    bool showsEveryBreak = false;
};
EndWatch Watch;

bool CaretAt(HWND edit, LONG position) {
    CHARRANGE selection = {};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMin == position && selection.cpMax == position;
}

bool Watching(HWND edit) { return Watch.valid && Watch.edit == edit; }

LONG WatchedLength() { return Watch.from + static_cast<LONG>(Watch.text.size()); }

// Characters the control inserts as they are. A paragraph mark starts a
// new last line, which the readers cannot use anyway; control characters
// (Ctrl+Backspace's 0x7F among them) edit or do nothing.
bool InsertsItself(WPARAM code) { return code == L'\t' || (code >= 0x20 && code != 0x7F && code <= 0xFFFF); }

}  // namespace

void KnowTheEnd(HWND edit, LONG from, const std::wstring& text, bool showsEveryBreak) {
    LONG length = from + static_cast<LONG>(text.size());
    if (Watching(edit) && WatchedLength() == length && Watch.from <= from) return;
    Watch.valid = true;
    Watch.edit = edit;
    Watch.from = from;
    Watch.text = text;
    Watch.showsEveryBreak = showsEveryBreak;
    if (++Watch.serial == 0) Watch.serial = 1;
}

bool ShowsEveryLineBreak(HWND edit) { return Watching(edit) && Watch.showsEveryBreak; }

bool TextOfTheEnd(HWND edit, LONG from, LONG length, std::wstring* text) {
    if (Watching(edit) && WatchedLength() != length) Watch.valid = false;  // changed unseen after all
    if (!Watching(edit) || from < Watch.from || from > length) return false;
    text->assign(Watch.text, static_cast<size_t>(from - Watch.from), std::wstring::npos);
    return true;
}

unsigned EndWatchSerial(HWND edit) { return Watching(edit) ? Watch.serial : 0; }

void NoteEditorMessage(HWND edit, UINT message) {
    if (!Watching(edit)) return;
    switch (message) {
    case WM_SETTEXT:
    case EM_SETTEXTEX:
    case EM_STREAMIN:
    case EM_REPLACESEL:
    case WM_PASTE:
    case EM_PASTESPECIAL:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
    case EM_SETCHARFORMAT:
    case EM_SETPARAFORMAT:
    case EM_SETTEXTMODE:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_UNICHAR: Watch.valid = false; return;
    default: break;
    }
    // Without EN_CHANGE a change would go unseen. (Asked below the subclass,
    // which would note the question in turn.)
    if (!(CallEditorControl(edit, EM_GETEVENTMASK, 0, 0) & ENM_CHANGE)) Watch.valid = false;
}

LRESULT TypeIntoEditor(HWND edit, WPARAM code, LPARAM lParam) {
    LONG length = Watching(edit) && InsertsItself(code) ? CharacterCount(edit) : -1;
    if (length >= 0 && length != WatchedLength()) Watch.valid = false;  // changed unseen after all
    bool followed = Watching(edit) && length >= 0 && CaretAt(edit, length);
    Watch.typing = followed;
    LRESULT result = CallEditorControl(edit, WM_CHAR, code, lParam);
    Watch.typing = false;
    if (followed && Watching(edit)) {
        if (CharacterCount(edit) == length + 1 && CaretAt(edit, length + 1))
            Watch.text += static_cast<wchar_t>(code);
        else
            Watch.valid = false;
    }
    return result;
}

void NoteTextChanged() {
    if (!Watch.typing) Watch.valid = false;
}
