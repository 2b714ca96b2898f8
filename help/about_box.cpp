// The About box: the program's icon, name and version, a notice, and the
// vendor's home page as a link that opens in the default browser.
#include "help/help.h"

#include "app/app_values.h"
#include "resources/resource.h"

constexpr COLORREF LinkColor = 0xCC6600;  // red 0x00, green 0x66, blue 0xCC

// The dialog's font, underlined, for the link; it lives while the box is open.
static HFONT LinkFont = nullptr;

static void MakeLinkFont(HWND dialog) {
    LOGFONTW font = {};
    HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    GetObjectW(dialogFont, sizeof(font), &font);
    font.lfUnderline = TRUE;
    LinkFont = CreateFontIndirectW(&font);
    SendDlgItemMessageW(dialog, IDC_ABOUT_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont), TRUE);
}

// A box larger than its owner starts left of or above the owner's edge.
static void CentreOnOwner(HWND dialog) {
    RECT box;
    RECT owner;
    GetWindowRect(dialog, &box);
    GetWindowRect(GetParent(dialog), &owner);
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int x = owner.left + (owner.right - owner.left - width) / 2;
    int y = owner.top + (owner.bottom - owner.top - height) / 2;
    MoveWindow(dialog, x, y, width, height, FALSE);
}

static INT_PTR OnInitDialog(HWND dialog) {
    MakeLinkFont(dialog);
    HICON icon = LoadIconW(AppInstance, MAKEINTRESOURCEW(IDI_ABOUT));
    SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    CentreOnOwner(dialog);
    return TRUE;
}

// Every notification of the link opens the page, so a double click, which
// sends STN_CLICKED and then STN_DBLCLK, opens it twice.
static INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_ABOUT_LINK: OpenWebPageW(VendorHomePage); return TRUE;
    default: return FALSE;
    }
}

static INT_PTR OnCtlColorStatic(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_ABOUT_LINK) return FALSE;
    SetTextColor(dc, LinkColor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

static INT_PTR OnDestroy() {
    if (LinkFont) DeleteObject(LinkFont);
    LinkFont = nullptr;
    return FALSE;
}

static INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY: return OnDestroy();
    default: return FALSE;
    }
}

void AboutCommand() {
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_ABOUT), MainWindow, AboutDialogProc, 0);
}
