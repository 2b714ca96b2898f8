// Text the program puts at the editor's selection (paste, Replace,
// Shift+Enter): plain, with its line breaks in the editor's one form, as
// one step that Undo takes back; the clipboard's text for a paste.
#include "document/document.h"

#include <richedit.h>

void InsertText(HWND edit, std::wstring_view text) {
    std::wstring plain = NormalizeLineBreaks(text);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(plain.c_str()));
}

// Only the clipboard's Unicode text is taken, whatever else it offers, so
// the document stays plain under Wine too, whose control pastes formatted
// text without asking the OLE callback.
void PasteClipboardText(HWND edit) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(edit)) return;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data));
        if (text) {
            // A clipboard text need not end in U+0000 within its block.
            size_t length = wcsnlen(text, GlobalSize(data) / sizeof(wchar_t));
            std::wstring copy(text, length);
            GlobalUnlock(data);
            CloseClipboard();
            InsertText(edit, copy);
            return;
        }
    }
    CloseClipboard();
}
