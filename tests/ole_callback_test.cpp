// Pastes and drops arrive as plain text, whatever the data offers.
#include "harness.h"

#include <richedit.h>
#include <ole2.h>
#include <richole.h>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

void PutOnClipboard(UINT format, const void* data, size_t bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), data, bytes);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
}

void ClipboardWithRtfAndText(const std::string& rtf, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(MainWindow));
    EmptyClipboard();
    PutOnClipboard(RegisterClipboardFormatW(L"Rich Text Format"), rtf.c_str(), rtf.size() + 1);
    PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
}

CHARFORMAT2W FormatAt(int position) {
    SendMessageW(EditControl, EM_SETSEL, position, position + 1);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(EditControl, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

// A key pressed in the editor while the modifiers are held.
void PressKeyWith(std::initializer_list<BYTE> modifiers, WPARAM key) {
    BYTE state[256] = {};
    for (BYTE modifier : modifiers) state[modifier] = 0x80;
    SetKeyboardState(state);
    SendMessageW(EditControl, WM_KEYDOWN, key, 1);
    SendMessageW(EditControl, WM_KEYUP, key, 0xC0000001);
    BYTE released[256] = {};
    SetKeyboardState(released);
}

// Data a drag from another program would bring: each format's bytes in
// global memory, handed out as copies.
class OfferedData : public IDataObject {
public:
    void Offer(CLIPFORMAT format, const void* bytes, size_t size) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        formats_.push_back({format, memory});
    }
    ~OfferedData() {
        for (const auto& offered : formats_) GlobalFree(offered.second);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        HGLOBAL memory = Find(format);
        if (!memory) return DV_E_FORMATETC;
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = static_cast<HGLOBAL>(OleDuplicateData(memory, format->cfFormat, 0));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return Find(format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    HGLOBAL Find(const FORMATETC* format) const {
        if (!(format->tymed & TYMED_HGLOBAL)) return nullptr;
        for (const auto& offered : formats_)
            if (offered.first == format->cfFormat) return offered.second;
        return nullptr;
    }
    std::vector<std::pair<CLIPFORMAT, HGLOBAL>> formats_;
};

const char BoldRedRtf[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs48\\cf1\\b Bold red\\b0}";
const wchar_t BoldRedText[] = L"Bold red";

CLIPFORMAT RichTextFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Rich Text Format")); }

}  // namespace

using PlainPaste = AppFixture;

// Reports the first character that is not plain text in the editor's style.
void ExpectPlainInEditorStyle(int from, int to, const std::string& how) {
    for (int position = from; position < to; ++position) {
        CHARFORMAT2W format = FormatAt(position);
        if ((format.dwEffects & CFE_BOLD) || format.crTextColor != ThemeTable[ColorIndex].text ||
            wcscmp(format.szFaceName, FontTable[FontIndex]) != 0) {
            ADD_FAILURE() << how << ": character " << position << " is " << Narrow(format.szFaceName)
                          << ((format.dwEffects & CFE_BOLD) ? ", bold" : "") << ", colour " << std::hex
                          << format.crTextColor;
            return;
        }
    }
}

// The control, on Windows, inserts dropped or pasted data itself, where it
// was dropped, and deletes the source of a move: the callback only tells
// it to take the plain text, inserting nothing itself (or a move would
// leave the text twice). Wine's control takes no drops and pastes without
// asking the callback, so where dropped text lands cannot be seen here.
TEST_F(PlainPaste, CallbackHasTheControlTakeThePlainTextAndRefusesDataWithout) {
    StartApp();
    SetEditorText(L"<>");
    OfferedData rich;
    rich.Offer(RichTextFormat(), BoldRedRtf, sizeof(BoldRedRtf));
    rich.Offer(CF_UNICODETEXT, BoldRedText, sizeof(BoldRedText));
    OfferedData richOnly;
    richOnly.Offer(RichTextFormat(), BoldRedRtf, sizeof(BoldRedRtf));
    const BYTE picture[sizeof(BITMAPINFOHEADER) + 4] = {sizeof(BITMAPINFOHEADER)};
    OfferedData pictureOnly;
    pictureOnly.Offer(CF_DIB, picture, sizeof(picture));
    // What the clipboard hands out through OLE, which runs once the program has started.
    ClipboardWithRtfAndText(BoldRedRtf, BoldRedText);
    IDataObject* clipboard = nullptr;
    ASSERT_EQ(OleGetClipboard(&clipboard), S_OK);

    const struct {
        const char* name;
        IDataObject* data;
        DWORD operation;
        BOOL really;
        bool accepted;
    } cases[] = {
        {"formatted text dropped", &rich, RECO_DROP, TRUE, true},
        {"formatted text dragged over", &rich, RECO_DROP, FALSE, true},
        {"formatted text pasted", &rich, RECO_PASTE, TRUE, true},
        {"the clipboard's formatted text", clipboard, RECO_PASTE, TRUE, true},
        {"RTF alone dropped", &richOnly, RECO_DROP, TRUE, false},
        {"RTF alone dragged over", &richOnly, RECO_DROP, FALSE, false},
        {"a picture dropped", &pictureOnly, RECO_DROP, TRUE, false},
        {"no data", nullptr, RECO_PASTE, TRUE, false},
    };
    IRichEditOleCallback* callback = CreateOleCallback();
    for (const auto& c : cases) {
        Select(1, 1);
        CLIPFORMAT format = 0;
        HRESULT answer = callback->QueryAcceptData(c.data, &format, c.operation, c.really, nullptr);
        PumpMessages();
        EXPECT_EQ(answer == S_OK, c.accepted) << c.name << ": " << std::hex << answer;
        EXPECT_EQ(format, c.accepted ? CF_UNICODETEXT : 0) << c.name;
        EXPECT_EQ(EditorText(), L"<>") << c.name;
    }
    callback->Release();
    clipboard->Release();
}

// Once the control takes drops itself, files dragged from a file manager
// reach it as data rather than as WM_DROPFILES; they are opened all the same.
TEST_F(PlainPaste, FilesDroppedAsDataAreOpened) {
    StartApp();
    std::wstring path = WriteScratch(L"dragged.txt", "dragged in");
    HDROP files = MakeDrop({path});
    OfferedData data;
    data.Offer(CF_HDROP, GlobalLock(files), GlobalSize(files));
    GlobalUnlock(files);
    GlobalFree(files);
    IRichEditOleCallback* callback = CreateOleCallback();
    CLIPFORMAT format = 0;
    EXPECT_EQ(callback->QueryAcceptData(&data, &format, RECO_DROP, FALSE, nullptr), S_OK);  // dragged over
    EXPECT_TRUE(FAILED(callback->QueryAcceptData(&data, &format, RECO_DROP, TRUE, nullptr)));
    callback->Release();
    PumpMessages();
    EXPECT_EQ(EditorText(), L"dragged in");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - dragged.txt");
}

// Every way to paste takes the clipboard's plain text alone (Wine's control,
// left to itself, pastes the RTF: bold, red, another font).
TEST_F(PlainPaste, EveryPasteTakesThePlainTextInTheEditorsFontAndColour) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 2);  // a dark theme: light text
    const struct {
        const char* name;
        std::function<void()> paste;
    } ways[] = {
        {"Ctrl+V", [] { PressCtrlKey('V'); }},
        {"Ctrl+Shift+V", [] { PressKeyWith({VK_CONTROL, VK_SHIFT}, 'V'); }},
        {"Shift+Insert", [] { PressKeyWith({VK_SHIFT}, VK_INSERT); }},
        {"Edit > Paste", [] { SendCommand(IDM_EDIT_PASTE); }},
        {"EM_PASTESPECIAL", [] { SendMessageW(EditControl, EM_PASTESPECIAL, CF_TEXT, 0); }},
    };
    for (const auto& way : ways) {
        SetEditorText(L"<>");
        ClipboardWithRtfAndText(BoldRedRtf, BoldRedText);
        Select(1, 1);
        way.paste();
        PumpMessages();
        EXPECT_EQ(EditorText(), L"<Bold red>") << way.name;
        ExpectPlainInEditorStyle(1, 9, way.name);
    }
}

TEST_F(PlainPaste, ABitmapAloneInsertsNothing) {
    StartApp();
    SetEditorText(L"keep");
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(OpenClipboard(MainWindow));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"keep");
}

TEST_F(PlainPaste, PastingOverASelectionReplacesItAndOneUndoBringsItBack) {
    StartApp();
    SetEditorText(L"one two three");
    SendMessageW(EditControl, EM_EMPTYUNDOBUFFER, 0, 0);
    ClipboardWithRtfAndText("{\\rtf1 {\\b 2}}", L"2");
    SendMessageW(EditControl, EM_SETSEL, 4, 7);
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"one 2 three");
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"one two three");
}

TEST_F(PlainPaste, CutAndCopyThenPasteGiveTheSameCharacters) {
    StartApp();
    std::wstring text = L"tab\there \u00e9\u4e2d \U0001F600 end";
    SetEditorText(text);
    int length = static_cast<int>(text.size());
    SendMessageW(EditControl, EM_SETSEL, 0, length);
    SendCommand(IDM_EDIT_COPY);
    SendMessageW(EditControl, EM_SETSEL, length, length);
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), text + text);

    SendMessageW(EditControl, EM_SETSEL, 0, 2 * length);
    SendCommand(IDM_EDIT_CUT);
    EXPECT_EQ(EditorText(), L"");
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), text + text);
}

// Whether OLE ran on the thread when the main window was being made.
HRESULT OleAtMainWindowCreation = E_PENDING;

LRESULT CALLBACK WatchMainWindowCreation(int code, WPARAM wParam, LPARAM lParam) {
    wchar_t name[64] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64) &&
        wcscmp(name, MainWindowClassName) == 0) {
        OleAtMainWindowCreation = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // S_FALSE: running
        if (SUCCEEDED(OleAtMainWindowCreation)) CoUninitialize();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The control's drag and drop and its clipboard need OLE on the thread
// before the editor is made (Wine's control starts it itself, Windows'
// does not), until after the editor is gone.
TEST_F(PlainPaste, OleRunsFromBeforeTheMainWindowUntilTheEnd) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchMainWindowCreation, nullptr, GetCurrentThreadId());
    StartApp();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(OleAtMainWindowCreation, S_FALSE) << "OLE did not run when the main window was made";
    StopApp();
    EXPECT_EQ(OleInitialize(nullptr), S_OK) << "OLE still runs after the end";
    OleUninitialize();
}

TEST(OleCallback, AnswersExactlyTwoInterfacesAndFreesItselfAtZero) {
    IRichEditOleCallback* callback = CreateOleCallback();
    void* object = nullptr;
    EXPECT_EQ(callback->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, callback);
    EXPECT_EQ(callback->Release(), 1u);  // back to the creation count
    EXPECT_EQ(callback->QueryInterface(IID_IRichEditOleCallback, &object), S_OK);
    EXPECT_EQ(object, callback);
    EXPECT_EQ(callback->Release(), 1u);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(callback->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(callback->AddRef(), 2u);
    EXPECT_EQ(callback->Release(), 1u);
    EXPECT_EQ(callback->GetNewStorage(nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->ShowContainerUI(TRUE), S_OK);
    EXPECT_EQ(callback->GetContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->Release(), 0u);  // freed here
}
