// The Go To Line dialog (template 302), its number check, and command 117.
#include "search/search.h"

#include <climits>

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

// Digits with blanks around them, as GetDlgItemInt reads an unsigned
// number; 0 and anything above INT_MAX (negative as a signed line number)
// are no line numbers.
int ParseLineNumber(const wchar_t* text) {
    while (*text == L' ' || *text == L'\t') ++text;
    long long value = 0;
    const wchar_t* digits = text;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > INT_MAX) return 0;
    }
    if (text == digits) return 0;
    while (*text == L' ' || *text == L'\t') ++text;
    return *text == 0 ? static_cast<int>(value) : 0;
}

static INT_PTR OnInitGoToDialog(HWND dialog) {
    PlaceBesideEditor(dialog);
    SetFocus(GetDlgItem(dialog, IDC_GOTO_LINE));
    return FALSE;  // keeps the focus set here
}

// A box that holds no line number keeps the dialog open, without a word.
static void AcceptLineNumber(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_GOTO_LINE);
    std::wstring text(GetWindowTextLengthW(box) + 1, L'\0');
    GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
    int line = ParseLineNumber(text.c_str());
    if (line > 0) EndDialog(dialog, line);
}

static INT_PTR OnGoToDialogCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: AcceptLineNumber(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK GoToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    try {
        switch (message) {
        case WM_INITDIALOG: return OnInitGoToDialog(dialog);
        case WM_COMMAND: return OnGoToDialogCommand(dialog, wParam);
        default: return FALSE;
        }
    } catch (...) {
        return AnswerFailedMessage(dialog, message);
    }
}

// DialogBoxParamW gives -1 when the dialog cannot be made; GoToLine
// ignores it as it ignores Cancel's 0.
void GoToCommand() {
    INT_PTR line = DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_GOTO), MainWindow, GoToDialogProc, 0);
    GoToLine(static_cast<int>(line));
}
