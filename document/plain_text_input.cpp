// Text the program puts at the editor's selection (paste, Replace,
// Shift+Enter): plain, with its line breaks in the editor's one form, as
// one step that Undo takes back; the clipboard's text for a paste.
#include "document/document.h"

#include <richedit.h>

void InsertText(HWND edit, std::wstring_view text) {
    std::wstring plain = NormalizeLineBreaks(text);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(plain.c_str()));
}

// The clipboard, open for as long as the scope lasts: closed on every
// path, or no other program could use it.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// The clipboard's Unicode text; false when there is none to be had.
static bool ReadClipboardText(HWND owner, std::wstring& text) {
    OpenedClipboard clipboard(owner);
    HANDLE data = clipboard.IsOpen() ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    const wchar_t* locked = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!locked) return false;
    struct Unlock {
        HANDLE data;
        ~Unlock() { GlobalUnlock(data); }
    } unlock = {data};
    // A clipboard text need not end in U+0000 within its block.
    text.assign(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
    return true;
}

// Only the clipboard's Unicode text is taken, whatever else it offers, so
// the document stays plain under Wine too, whose control pastes formatted
// text without asking the OLE callback.
void PasteClipboardText(HWND edit) {
    std::wstring text;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) && ReadClipboardText(edit, text)) InsertText(edit, text);
}
