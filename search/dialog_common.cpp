// What the Find, Replace and Go To Line dialogs share: their place beside
// the editor and the reading of their search boxes.
#include "search/search.h"

#include "app/app_values.h"

// Screen pixels, not scaled by the DPI: 5 pixels right of the middle of the
// editor and 80 below its top, wherever that falls.
POINT ComputeDialogPosition(const RECT& editorOnScreen) {
    LONG width = editorOnScreen.right - editorOnScreen.left;
    return {editorOnScreen.left + width / 2 + 5, editorOnScreen.top + 80};
}

void PlaceBesideEditor(HWND dialog) {
    RECT editor = {};
    GetWindowRect(EditControl, &editor);
    POINT at = ComputeDialogPosition(editor);
    SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Search and replacement texts are cut to their first 255 characters.
std::wstring ReadSearchBox(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}
