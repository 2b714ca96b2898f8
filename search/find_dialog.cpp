// The Find dialog (template 300) and command 115.
#include "search/search.h"

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

static INT_PTR OnInitFindDialog(HWND dialog, LPARAM seed) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(seed);
    if (text && text[0]) SetDlgItemTextW(dialog, IDC_FIND_TEXT, text);
    PlaceBesideEditor(dialog);
    return TRUE;  // the focus goes to the first tab stop, the search box
}

static void SearchForBoxText(HWND dialog, void (*search)(HWND, const wchar_t*)) {
    std::wstring text = ReadSearchBox(dialog, IDC_FIND_TEXT);
    if (!text.empty()) search(dialog, text.c_str());
}

// Enter comes as IDC_FIND_NEXT, the default button.
static INT_PTR OnFindDialogCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_FIND_NEXT: SearchForBoxText(dialog, FindNext); return TRUE;
    case IDC_FIND_PREVIOUS: SearchForBoxText(dialog, FindPrevious); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: return OnInitFindDialog(dialog, lParam);
        case WM_COMMAND: return OnFindDialogCommand(dialog, wParam);
        default: return FALSE;
        }
    } catch (...) {
        return AnswerFailedMessage(dialog, message);
    }
}

void FindCommand() {
    wchar_t seed[260];
    bool hasSeed = GetSearchSeed(EditControl, seed);
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_FIND), MainWindow, FindDialogProc,
                    hasSeed ? reinterpret_cast<LPARAM>(seed) : 0);
}
