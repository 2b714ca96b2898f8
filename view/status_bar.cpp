// The five-part status bar: caret position and selection, word wrap, zoom,
// document length and encoding; also the Zoom menu's check marks.
#include "view/view.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/app_values.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/gdi_scope.h"
#include "view/visible_lines.h"

namespace {

struct CaretPlace {
    int line, column, selection;
};

// Line is the paragraph of the selection's start and Col its place in its
// display line, so a selection made backwards reads as made forwards.
CaretPlace ReadCaretPlace() {
    CHARRANGE selection = {};
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    CaretPlace place = {1, 1, std::abs(static_cast<int>(selection.cpMax - selection.cpMin))};
    const ParagraphIndex* index = EditorParagraphs(EditControl);
    if (!index || selection.cpMin < 0) return place;
    place.line = index->ParagraphOf(selection.cpMin) + 1;
    place.column = selection.cpMin - DisplayLineStart(EditControl, *index, selection.cpMin) + 1;
    return place;
}

int ReadZoomPercent() {
    DWORD numerator = 0, denominator = 0;
    SendMessageW(EditControl, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    if (numerator == 0 || denominator == 0) return 100;
    return MulDiv(static_cast<int>(numerator), 100, static_cast<int>(denominator));
}

void CheckZoomPreset(int zoom) {
    HMENU menu = GetOptionsSubmenu(OPTIONS_POS_ZOOM);
    if (!menu) return;
    UINT preset = zoom == 100   ? IDM_ZOOM_100
                  : zoom == 150 ? IDM_ZOOM_150
                  : zoom == 200 ? IDM_ZOOM_200
                  : zoom == 300 ? IDM_ZOOM_300
                                : 0;
    if (preset) {
        CheckMenuRadioItem(menu, IDM_ZOOM_100, IDM_ZOOM_300, preset, MF_BYCOMMAND);
        return;
    }
    for (UINT id = IDM_ZOOM_100; id <= IDM_ZOOM_300; ++id)
        CheckMenuItem(menu, id, MF_BYCOMMAND | MF_UNCHECKED);
}

// True when the part's text changed.
bool SetPartText(int part, const wchar_t* text) {
    wchar_t shown[256] = {};
    LRESULT length = SendMessageW(StatusBar, SB_GETTEXTLENGTHW, part, 0);
    if (LOWORD(length) < 256) {
        SendMessageW(StatusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(shown));
        if (wcscmp(shown, text) == 0) return false;
    }
    SendMessageW(StatusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return true;
}

// Wine's status bar repaints at once for each part whose text changes, and
// a keystroke changes two (Col and the size); with its drawing held while
// they are set, one repaint shows them all.
class HeldStatusBarDrawing {
public:
    HeldStatusBarDrawing() : held_((GetWindowLongW(StatusBar, GWL_STYLE) & WS_VISIBLE) != 0) {
        if (!held_) return;
        // Wine drops what was waiting to be painted when the drawing is held.
        whole_ = GetUpdateRect(StatusBar, nullptr, FALSE);
        SendMessageW(StatusBar, WM_SETREDRAW, FALSE, 0);
    }
    ~HeldStatusBarDrawing() {
        if (!held_) return;
        SendMessageW(StatusBar, WM_SETREDRAW, TRUE, 0);
        if (whole_) {
            InvalidateRect(StatusBar, nullptr, TRUE);
            return;
        }
        for (const RECT& rect : changed_) InvalidateRect(StatusBar, &rect, TRUE);
    }
    HeldStatusBarDrawing(const HeldStatusBarDrawing&) = delete;
    HeldStatusBarDrawing& operator=(const HeldStatusBarDrawing&) = delete;

    // Part `part` (-1: the whole bar) needs painting.
    void Changed(int part) {
        RECT rect = {};
        if (part >= 0 && SendMessageW(StatusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect)))
            changed_.push_back(rect);
        else
            whole_ = true;
    }

private:
    bool held_;
    bool whole_ = false;
    std::vector<RECT> changed_;
};

int MeasureText(HDC dc, const wchar_t* text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size.cx;
}

// Parts 1 to 4 are as wide as their texts in the status bar's own font,
// plus a pad; part 0 takes what is left and shrinks to nothing first; the
// last part ends short of the size grip. True when the parts moved.
bool SetPartWidths(const wchar_t* const texts[4]) {
    RECT client;
    GetClientRect(StatusBar, &client);
    int widths[4];
    {
        WindowDc dc(StatusBar);
        SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(StatusBar, WM_GETFONT, 0, 0)));
        for (int i = 0; i < 4; ++i) widths[i] = MeasureText(dc.Get(), texts[i]);
    }
    UINT dpi = GetDpiForWindow(StatusBar);
    int pad = MulDiv(10, dpi, 96);
    int grip = MulDiv(GetSystemMetrics(SM_CXVSCROLL), dpi, 96);
    int edges[5];
    edges[0] = std::max(client.right - (widths[0] + widths[1] + widths[2] + widths[3] + 4 * pad + grip), 0L);
    for (int i = 1; i < 5; ++i) edges[i] = edges[i - 1] + widths[i - 1] + pad;
    // New parts repaint the whole bar; on a keystroke they rarely move.
    int current[5] = {};
    if (SendMessageW(StatusBar, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(current)) == 5 &&
        std::equal(edges, edges + 5, current))
        return false;
    SendMessageW(StatusBar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    return true;
}

}  // namespace

// The status bar follows the system's menu font at the window's DPI; set
// from the start, so that the parts are measured in the font they show.
// (The plain SPI_GETNONCLIENTMETRICS gives the font for the system's DPI,
// not for 96: scaled again, it came out twice too large at 192 DPI.)
void SetStatusBarFont(int dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    LOGFONTW font = metrics.lfMenuFont;
    font.lfHeight = -abs(font.lfHeight);
    HFONT statusFont = CreateFontIndirectW(&font);
    HFONT previous = reinterpret_cast<HFONT>(SendMessageW(StatusBar, WM_GETFONT, 0, 0));
    SendMessageW(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont), TRUE);
    // Only fonts made here are ours to delete; the first one is the system's.
    static HFONT ownFont = nullptr;
    if (ownFont && ownFont == previous) DeleteObject(ownFont);
    ownFont = statusFont;
}

// The control reports a new selection before the change that made it,
// and a burst of keys reports many; the status bar follows once the
// control is done with them.
static bool StatusBarUpdatePosted = false;

void ScheduleStatusBarUpdate() {
    if (!StatusBarUpdatePosted) StatusBarUpdatePosted = PostMessageW(MainWindow, WM_UPDATESTATUSBAR, 0, 0);
}

void OnScheduledStatusBarUpdate() {
    StatusBarUpdatePosted = false;
    UpdateStatusBar();
}

void UpdateStatusBar() {
    long long characters = CharacterCount(EditControl);
    CaretPlace place = ReadCaretPlace();
    int zoom = ReadZoomPercent();
    CheckZoomPreset(zoom);
    if (!StatusBar) return;

    wchar_t position[256], zoomText[64], size[256];
    swprintf(position, 256, L" Line %d  Col %d  Sel %d ", place.line, place.column, place.selection);
    swprintf(zoomText, 64, L" Zoom: %d%% ", zoom);
    swprintf(size, 256, L" %lld chars (~ %ls) ", characters, FormatSizeText(characters).c_str());
    const wchar_t* wrap = Autowrap ? L" Auto-Wrap ON" : L" Auto-Wrap OFF";
    // The parts first: a status bar fresh from creation has only one, and
    // drops the texts of parts it does not have yet.
    const wchar_t* const measured[4] = {wrap, zoomText, size, DocumentEncoding};
    HeldStatusBarDrawing drawing;
    if (SetPartWidths(measured)) drawing.Changed(-1);
    const wchar_t* const texts[5] = {position, wrap, zoomText, size, DocumentEncoding};
    for (int part = 0; part < 5; ++part) {
        if (SetPartText(part, texts[part])) drawing.Changed(part);
    }
}
