// The Replace dialog (template 301) and command 116.
#include "search/search.h"

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"

static INT_PTR OnInitReplaceDialog(HWND dialog, LPARAM seed) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(seed);
    if (text && text[0]) SetDlgItemTextW(dialog, IDC_REPLACE_FIND_TEXT, text);
    PlaceBesideEditor(dialog);
    return TRUE;  // the focus goes to the first tab stop, the Find what box
}

static void FindNextFromBox(HWND dialog) {
    std::wstring text = ReadSearchBox(dialog, IDC_REPLACE_FIND_TEXT);
    if (!text.empty()) FindNext(dialog, text.c_str());
}

static void ReplaceFromBoxes(HWND dialog) {
    std::wstring text = ReadSearchBox(dialog, IDC_REPLACE_FIND_TEXT);
    std::wstring replacement = ReadSearchBox(dialog, IDC_REPLACE_WITH_TEXT);
    ReplaceSelection(dialog, text.c_str(), replacement.c_str());
}

// Replace All ignores the dialog's Match case and Whole word boxes.
static void ReplaceAllFromBoxes(HWND dialog) {
    std::wstring text = ReadSearchBox(dialog, IDC_REPLACE_FIND_TEXT);
    std::wstring replacement = ReadSearchBox(dialog, IDC_REPLACE_WITH_TEXT);
    if (!text.empty()) ReplaceAll(text.c_str(), replacement.c_str());
}

// The dialog has no default button, and Enter's IDOK falls to the default
// case: Enter does nothing here.
static INT_PTR OnReplaceDialogCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_REPLACE_FIND_NEXT: FindNextFromBox(dialog); return TRUE;
    case IDC_REPLACE_ONE: ReplaceFromBoxes(dialog); return TRUE;
    case IDC_REPLACE_ALL: ReplaceAllFromBoxes(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK ReplaceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: return OnInitReplaceDialog(dialog, lParam);
        case WM_COMMAND: return OnReplaceDialogCommand(dialog, wParam);
        default: return FALSE;
        }
    } catch (...) {
        return AnswerFailedMessage(dialog, message);
    }
}

void ReplaceCommand() {
    wchar_t seed[260];
    bool hasSeed = GetSearchSeed(EditControl, seed);
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_REPLACE), MainWindow, ReplaceDialogProc,
                    hasSeed ? reinterpret_cast<LPARAM>(seed) : 0);
}
