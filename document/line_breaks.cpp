// The one normalisation of line breaks that every text put into the editor
// goes through. Nothing here touches a window.
#include "document/document.h"

// A line break becomes a lone CR, never CR LF:
// - In plain-text mode the rich edit control holds a paragraph mark as the
//   one character CR and counts it as one position, so a normalised text
//   has the positions the control will report, and the paragraph index can
//   be built from it before it is put in, with one call and no second read.
// - A lone CR is read as one mark by every version of the control. Pairs
//   are not: Wine's control reads CR CR LF as a single space, so a text
//   holding CR LF could meet a stray CR and make such a triple.
// - The text never grows, so the normalisation can run in place over a
//   decoded file of 10 MB without a second buffer.
// A save reads the text back with CR LF for each mark, whichever form went in.
size_t NormalizeLineBreaksInPlace(std::wstring& text) {
    wchar_t* units = text.data();
    const size_t count = text.size();
    size_t kept = 0;
    size_t breaks = 0;
    for (size_t at = 0; at < count; ++at) {
        wchar_t unit = units[at];
        if (unit == L'\r' || unit == L'\n') {
            if (unit == L'\r' && at + 1 < count && units[at + 1] == L'\n') ++at;
            unit = L'\r';
            ++breaks;
        }
        units[kept++] = unit;
    }
    text.resize(kept);
    return breaks;
}

std::wstring NormalizeLineBreaks(std::wstring_view text) {
    std::wstring normalized(text);
    NormalizeLineBreaksInPlace(normalized);
    return normalized;
}
