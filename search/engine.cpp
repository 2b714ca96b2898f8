// The search engine, working through the editor's own messages.
#include "search/search.h"

// Minimal: the engine comes with the search dialogs.
bool GetSearchSeed(HWND, wchar_t* buffer) {
    buffer[0] = 0;
    return false;
}
void FindNext(HWND, const wchar_t*) {}
void FindPrevious(HWND, const wchar_t*) {}
void ReplaceSelection(HWND, const wchar_t*, const wchar_t*) {}
void ReplaceAll(const wchar_t*, const wchar_t*) {}
void GoToLine(int) {}
