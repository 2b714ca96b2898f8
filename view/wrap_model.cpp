// The hidden model editor that predicts where word wrap breaks the text.
// A display line's breaks depend only on the text from its start, the
// width of the formatting rectangle, the font and the zoom: a model given
// the same, and a line's text as a paragraph of its own, breaks it alike.
#include "view/wrap_model.h"

#include <richedit.h>

#include <string>

#include "app/app.h"

namespace {

HWND Model = nullptr;
LayoutPrint ModelPrint = {};  // what the model was set up for, its text length 0
bool ModelReady = false;

HWND CreateModel() {
    HWND model = CreatePlainTextEditor(WS_POPUP | ES_MULTILINE, {}, nullptr, nullptr);
    if (!model) return nullptr;
    SendMessageW(model, EM_SETEVENTMASK, 0, 0);
    SendMessageW(model, EM_SETUNDOLIMIT, 0, 0);
    SendMessageW(model, EM_EXLIMITTEXT, 0, WrapModelLength * 2);
    SendMessageW(model, EM_SETTARGETDEVICE, 0, 0);  // wrap at the window's edge
    return model;
}

// Gives the model the editor's client size, formatting rectangle, default
// character format and zoom, when they changed since it last took them.
bool SetUpModel(HWND edit, const LayoutPrint& print) {
    LayoutPrint key = print;
    key.textLength = 0;
    if (ModelReady && SameLayout(key, ModelPrint)) return true;
    ModelReady = false;
    // A model set up again while it holds a wrapped paragraph may keep
    // breaking it for the view before (zoom 150 back to 100, under Wine): a
    // new one for each view.
    if (Model) DestroyWindow(Model);
    Model = CreateModel();
    if (!Model) return false;
    SetWindowPos(Model, nullptr, 0, 0, print.client.right - print.client.left,
                 print.client.bottom - print.client.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(Model, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(Model, EM_SETZOOM, print.zoomNumerator, print.zoomDenominator);
    RECT rect = print.format;
    SendMessageW(Model, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
    RECT taken = {};
    SendMessageW(Model, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&taken));
    if (!EqualRect(&taken, &print.format)) return false;
    ModelPrint = key;
    ModelReady = true;
    return true;
}

}  // namespace

bool PredictLineStarts(HWND edit, const LayoutPrint& print, const wchar_t* text, LONG length,
                       std::vector<LONG>* starts) {
    starts->clear();
    if (!print.wrap || length < 0 || length > WrapModelLength || !SetUpModel(edit, print)) return false;
    std::wstring paragraph(text, static_cast<size_t>(length));
    SendMessageW(Model, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(paragraph.c_str()));
    int lines = static_cast<int>(SendMessageW(Model, EM_GETLINECOUNT, 0, 0));
    for (int line = 0; line < lines; ++line)
        starts->push_back(static_cast<LONG>(SendMessageW(Model, EM_LINEINDEX, line, 0)));
    return !starts->empty() && starts->front() == 0;
}
