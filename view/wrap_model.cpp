// The hidden model editor that predicts where word wrap breaks the text.
// A display line's breaks depend only on the text from its start, the
// width of the formatting rectangle, the font and the zoom: a model given
// the same, and a line's text as a paragraph of its own, breaks it alike.
#include "view/wrap_model.h"

#include <richedit.h>

#include <cwchar>
#include <string>

#include "document/document.h"

bool SameWrapLayout(const WrapLayout& a, const WrapLayout& b) {
    return EqualRect(&a.client, &b.client) && EqualRect(&a.format, &b.format) &&
           a.zoomNumerator == b.zoomNumerator && a.zoomDenominator == b.zoomDenominator &&
           a.font.yHeight == b.font.yHeight && a.font.wWeight == b.font.wWeight &&
           a.font.dwEffects == b.font.dwEffects && wcscmp(a.font.szFaceName, b.font.szFaceName) == 0 &&
           a.dpi == b.dpi;
}

WrapLayout ReadWrapLayout(HWND edit) {
    WrapLayout layout = {};
    GetClientRect(edit, &layout.client);
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&layout.format));
    SendMessageW(edit, EM_GETZOOM, reinterpret_cast<WPARAM>(&layout.zoomNumerator),
                 reinterpret_cast<LPARAM>(&layout.zoomDenominator));
    layout.font.cbSize = sizeof(layout.font);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&layout.font));
    layout.dpi = GetDpiForWindow(edit);
    return layout;
}

namespace {

HWND Model = nullptr;
WrapLayout ModelLayout = {};

// A child of the editor's parent, never shown, so that it takes the same DPI.
HWND CreateModel(HWND edit) {
    HWND model = CreatePlainTextEditor(WS_CHILD | ES_MULTILINE, {}, GetParent(edit), nullptr);
    if (!model) return nullptr;
    SendMessageW(model, EM_SETEVENTMASK, 0, 0);
    SendMessageW(model, EM_SETUNDOLIMIT, 0, 0);
    SendMessageW(model, EM_EXLIMITTEXT, 0, WrapModelLength * 2);
    SendMessageW(model, EM_SETTARGETDEVICE, 0, 0);  // wrap at the window's edge
    return model;
}

// Gives the model the editor's client size, formatting rectangle, default
// character format and zoom, when they changed since it last took them.
bool SetUpModel(HWND edit) {
    WrapLayout layout = ReadWrapLayout(edit);
    if (Model && IsWindow(Model) && GetParent(Model) == GetParent(edit) &&
        SameWrapLayout(layout, ModelLayout))
        return true;
    // A model set up again while it holds a wrapped paragraph may keep
    // breaking it for the view before (zoom 150 back to 100, under Wine): a
    // new one for each view.
    if (Model && IsWindow(Model)) DestroyWindow(Model);
    Model = CreateModel(edit);
    if (!Model) return false;
    SetWindowPos(Model, nullptr, 0, 0, layout.client.right - layout.client.left,
                 layout.client.bottom - layout.client.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHARFORMAT2W format = layout.font;
    SendMessageW(Model, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(Model, EM_SETZOOM, layout.zoomNumerator, layout.zoomDenominator);
    RECT rect = layout.format;
    SendMessageW(Model, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
    RECT taken = {};
    SendMessageW(Model, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&taken));
    if (!EqualRect(&taken, &layout.format)) return false;
    ModelLayout = layout;
    return true;
}

}  // namespace

bool PredictLineStarts(HWND edit, const wchar_t* text, LONG length, std::vector<LONG>* starts) {
    starts->clear();
    if (length < 0 || length > WrapModelLength || !SetUpModel(edit)) return false;
    std::wstring copy(text, static_cast<size_t>(length));
    SendMessageW(Model, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    int lines = static_cast<int>(SendMessageW(Model, EM_GETLINECOUNT, 0, 0));
    for (int line = 0; line < lines; ++line)
        starts->push_back(static_cast<LONG>(SendMessageW(Model, EM_LINEINDEX, line, 0)));
    return !starts->empty() && starts->front() == 0;
}
