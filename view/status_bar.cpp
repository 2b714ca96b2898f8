// The five-part status bar.
#include "view/view.h"

#include <commctrl.h>
#include <richedit.h>

#include "app/app.h"
#include "document/document.h"

// Minimal: the texts without measuring; the full status bar replaces it.
void UpdateStatusBar() {
    if (!StatusBar) return;
    int edges[5] = {200, 320, 440, 640, -1};
    SendMessageW(StatusBar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    SendMessageW(StatusBar, SB_SETTEXTW, 1,
                 reinterpret_cast<LPARAM>(Autowrap ? L" Auto-Wrap ON" : L" Auto-Wrap OFF"));
    SendMessageW(StatusBar, SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(DocumentEncoding));
}
