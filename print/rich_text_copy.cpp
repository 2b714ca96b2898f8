// The RTF copy of the editor's text (all of it or the selection) that the
// hidden control prints, and its colours forced to black on white.
#include "print/print.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "app/app_values.h"

// The control calls this, so no exception may leave it: running out of
// memory ends the stream with an error instead, which ExportRichText
// raises again on this side of the control.
DWORD CALLBACK StreamOutToString(DWORD_PTR buffer, LPBYTE bytes, LONG count, LONG* done) {
    try {
        reinterpret_cast<TransferBuffer*>(buffer)->bytes.append(reinterpret_cast<const char*>(bytes), count);
    } catch (const std::bad_alloc&) {
        *done = 0;
        return 1;
    }
    *done = count;
    return 0;
}

// A read position instead of erasing from the front: erasing would move
// the rest of a many-megabyte copy for every chunk the control asks for.
DWORD CALLBACK StreamInFromString(DWORD_PTR buffer, LPBYTE bytes, LONG count, LONG* done) {
    TransferBuffer& transfer = *reinterpret_cast<TransferBuffer*>(buffer);
    size_t left = transfer.bytes.size() - transfer.consumed;
    size_t taken = std::min(left, static_cast<size_t>(std::max(count, 0L)));
    memcpy(bytes, transfer.bytes.data() + transfer.consumed, taken);
    transfer.consumed += taken;
    *done = static_cast<LONG>(taken);
    return 0;
}

TransferBuffer ExportRichText(HWND edit, bool selectionOnly) {
    TransferBuffer transfer;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&transfer), 0, StreamOutToString};
    WPARAM format = selectionOnly ? (SF_RTF | SFF_SELECTION) : SF_RTF;
    SendMessageW(edit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    // A copy cut short would print as if it were the document.
    if (stream.dwError != 0) throw std::bad_alloc();
    return transfer;
}

// Without a limit of its own the control keeps only the first 32,767
// characters of the copy; it must hold whatever the editor holds.
void ImportRichText(HWND edit, TransferBuffer& rtf) {
    SendMessageW(edit, EM_EXLIMITTEXT, 0, EditorTextLimit);
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&rtf), 0, StreamInFromString};
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

// Effects 0 turns off both automatic colours, so the theme's colours that
// came with the RTF give way to black on white.
void ForceBlackOnWhite(HWND edit) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | CFM_BACKCOLOR;
    format.crTextColor = RGB(0, 0, 0);
    format.crBackColor = RGB(255, 255, 255);
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}
