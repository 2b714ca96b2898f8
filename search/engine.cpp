// The search engine: the seed of the dialogs, Find Next and Find Previous,
// Replace of the selection and Go To Line, all through the editor's own
// messages. The selection of the editor is the only search cursor.
#include "search/search.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <cwctype>

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

static constexpr LONG MaxSearchLength = 255;

// EM_GETTEXTEX writes at most cb bytes, so the read stays inside the
// buffer whatever the control does with line ends.
std::wstring ReadTextEx(HWND edit, LONG length, DWORD flags) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.flags = flags;
    request.codepage = 1200;  // UTF-16
    LRESULT copied = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? std::min<size_t>(copied, length) : 0);
    return text;
}

static std::wstring SelectedText(HWND edit, LONG length) { return ReadTextEx(edit, length, GT_SELECTION); }

static bool IsSeedBlank(wchar_t c) { return c == L'\n' || c == L'\r' || iswspace(c); }

void TrimSeed(wchar_t* text) {
    size_t length = wcslen(text);
    while (length > 0 && IsSeedBlank(text[length - 1])) text[--length] = 0;
    size_t leading = 0;
    while (text[leading] && IsSeedBlank(text[leading])) ++leading;
    if (leading > 0) memmove(text, text + leading, (length - leading + 1) * sizeof(wchar_t));
}

// Letters, digits and the underscore make words, as the control has them.
static bool IsWordCharacter(wchar_t c) { return iswalnum(c) || c == L'_'; }

// The word that the caret is in or touches, from the text around it; an
// empty range where it touches none.
static CHARRANGE FindWordAround(HWND edit, LONG caret) {
    LONG from = std::max(caret - MaxSearchLength, 0L);
    wchar_t text[2 * MaxSearchLength + 1] = {};
    TEXTRANGEW range = {{from, caret + MaxSearchLength}, text};
    LONG read = static_cast<LONG>(SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    LONG at = std::min(caret - from, std::max(read, 0L)), left = at, right = at;
    while (left > 0 && IsWordCharacter(text[left - 1])) --left;
    while (right < read && IsWordCharacter(text[right])) ++right;
    return {from + left, from + right};
}

bool GetSearchSeed(HWND edit, wchar_t* buffer) {
    buffer[0] = 0;
    CHARRANGE selection = {};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    LONG length = selection.cpMax - selection.cpMin;
    if (length >= 1 && length <= MaxSearchLength) {
        std::wstring selected = SelectedText(edit, length);
        wmemcpy(buffer, selected.c_str(), selected.size() + 1);
        return true;
    }
    if (length != 0) return false;

    LONG left = static_cast<LONG>(SendMessageW(edit, EM_FINDWORDBREAK, WB_LEFT, selection.cpMin));
    LONG right = static_cast<LONG>(SendMessageW(edit, EM_FINDWORDBREAK, WB_RIGHT, selection.cpMin));
    // Wine's control answers 0 to both; the word is then found here.
    if (left == 0 && right == 0) {
        CHARRANGE word = FindWordAround(edit, selection.cpMin);
        left = word.cpMin;
        right = word.cpMax;
    }
    if (right - left < 1 || right - left > MaxSearchLength) return false;
    TEXTRANGEW range = {{left, right}, buffer};
    SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    TrimSeed(buffer);
    return true;
}

WPARAM FindFlags(bool matchCase, bool wholeWord, bool forward) {
    return (forward ? FR_DOWN : 0) | (matchCase ? FR_MATCHCASE : 0) | (wholeWord ? FR_WHOLEWORD : 0);
}

static WPARAM DialogFindFlags(HWND dialog, bool forward) {
    return FindFlags(IsDlgButtonChecked(dialog, IDC_MATCH_CASE) == BST_CHECKED,
                     IsDlgButtonChecked(dialog, IDC_WHOLE_WORD) == BST_CHECKED, forward);
}

static CHARRANGE EditorSelection() {
    CHARRANGE selection = {};
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection;
}

// Searches from `from` to the end of the document in the direction of the
// flags; the match, or cpMin -1 when there is none.
static CHARRANGE SearchEditor(const wchar_t* text, LONG from, WPARAM flags) {
    FINDTEXTEXW find = {};
    find.chrg = {from, -1};
    find.lpstrText = text;
    LRESULT at = SendMessageW(EditControl, EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find));
    if (at < 0) return {-1, -1};
    return find.chrgText;
}

static void SelectMatch(CHARRANGE match) {
    SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&match));
    SendMessageW(EditControl, EM_SCROLLCARET, 0, 0);
}

void FindNext(HWND dialog, const wchar_t* text) {
    if (!text[0]) return;
    WPARAM flags = DialogFindFlags(dialog, true);
    CHARRANGE match = SearchEditor(text, EditorSelection().cpMax, flags);
    if (match.cpMin < 0) match = SearchEditor(text, 0, flags);
    if (match.cpMin < 0) {
        MessageBoxW(dialog, L"Cannot find text", L"Find", MB_OK);
        return;
    }
    SelectMatch(match);
}

void FindPrevious(HWND dialog, const wchar_t* text) {
    if (!text[0]) return;
    WPARAM flags = DialogFindFlags(dialog, false);
    LONG start = EditorSelection().cpMin;
    CHARRANGE match = SearchEditor(text, start > 0 ? start - 1 : 0, flags);
    if (match.cpMin < 0) {
        LONG length = CharacterCount(EditControl);
        if (length > 0) match = SearchEditor(text, length, flags);
    }
    if (match.cpMin < 0) {
        MessageBoxW(dialog, L"Cannot find text.", L"Find", MB_OK);
        return;
    }
    SelectMatch(match);
}

// The control's own matching over one range, as Find Next has it without
// Match case and Whole word: the one comparison that Replace and Replace
// All share with Find, whatever letters the control folds.
bool MatchesWithoutCase(HWND edit, const wchar_t* text, CHARRANGE range) {
    FINDTEXTEXW find = {};
    find.chrg = range;
    find.lpstrText = text;
    LRESULT at = SendMessageW(edit, EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&find));
    return at == range.cpMin && find.chrgText.cpMin == range.cpMin && find.chrgText.cpMax == range.cpMax;
}

// An empty search text would match an empty selection and put the
// replacement at the caret, so it replaces nothing.
void ReplaceSelection(HWND dialog, const wchar_t* text, const wchar_t* replacement) {
    if (!text[0]) return;
    if (MatchesWithoutCase(EditControl, text, EditorSelection())) InsertText(EditControl, replacement);
    FindNext(dialog, text);
}

void GoToLine(int line) {
    if (line <= 0) return;
    LONG count = static_cast<LONG>(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0));
    LONG index = line - 1 < count ? line - 1 : count - 1;
    LONG start = static_cast<LONG>(SendMessageW(EditControl, EM_LINEINDEX, index, 0));
    if (start < 0) return;
    SendMessageW(EditControl, EM_SETSEL, start, start);
    SendMessageW(EditControl, EM_SCROLLCARET, 0, 0);
    SetFocus(EditControl);
}
