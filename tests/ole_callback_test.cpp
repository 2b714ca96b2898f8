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

// Formats with their bytes, as a program copying them would put them on
// the clipboard.
using Formats = std::vector<std::pair<UINT, std::string>>;

std::string BytesOf(const void* data, size_t size) { return std::string(static_cast<const char*>(data), size); }

void PutOnClipboard(const Formats& formats) {
    ASSERT_TRUE(OpenClipboard(MainWindow));
    EmptyClipboard();
    for (const auto& [format, bytes] : formats) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        SetClipboardData(format, memory);
    }
    CloseClipboard();
}

// What OLE hands a control for the clipboard's content: a real data object,
// as a drag from another program brings one.
IDataObject* DataObjectOf(const Formats& formats) {
    PutOnClipboard(formats);
    IDataObject* data = nullptr;
    EXPECT_EQ(OleGetClipboard(&data), S_OK);
    return data;
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

const char BoldRedRtf[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs48\\cf1\\b Bold red\\b0}";
const wchar_t BoldRedText[] = L"Bold red";

Formats FormattedText() {
    return {{RegisterClipboardFormatW(L"Rich Text Format"), BytesOf(BoldRedRtf, sizeof(BoldRedRtf))},
            {CF_UNICODETEXT, BytesOf(BoldRedText, sizeof(BoldRedText))}};
}

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
    const Formats rtfAlone = {FormattedText()[0]};
    const BITMAPINFOHEADER picture = {sizeof(BITMAPINFOHEADER), 1, 1, 1, 32};
    const Formats pictureAlone = {{CF_DIB, BytesOf(&picture, sizeof(picture)) + std::string(4, '\0')}};
    const struct {
        const char* name;
        Formats data;
        DWORD operation;
        BOOL really;
        bool accepted;
    } cases[] = {
        {"formatted text dropped", FormattedText(), RECO_DROP, TRUE, true},
        {"formatted text dragged over", FormattedText(), RECO_DROP, FALSE, true},
        {"formatted text pasted", FormattedText(), RECO_PASTE, TRUE, true},
        {"RTF alone dropped", rtfAlone, RECO_DROP, TRUE, false},
        {"RTF alone dragged over", rtfAlone, RECO_DROP, FALSE, false},
        {"a picture dropped", pictureAlone, RECO_DROP, TRUE, false},
    };
    IRichEditOleCallback* callback = CreateOleCallback();
    for (const auto& c : cases) {
        IDataObject* data = DataObjectOf(c.data);
        ASSERT_TRUE(data) << c.name;
        Select(1, 1);
        CLIPFORMAT format = 0;
        HRESULT answer = callback->QueryAcceptData(data, &format, c.operation, c.really, nullptr);
        data->Release();
        PumpMessages();
        EXPECT_EQ(answer == S_OK, c.accepted) << c.name << ": " << std::hex << answer;
        EXPECT_EQ(format, c.accepted ? CF_UNICODETEXT : 0) << c.name;
        EXPECT_EQ(EditorText(), L"<>") << c.name;
    }
    EXPECT_TRUE(FAILED(callback->QueryAcceptData(nullptr, nullptr, RECO_PASTE, TRUE, nullptr)));
    callback->Release();
}

// Once the control takes drops itself, files dragged from a file manager
// reach it as data rather than as WM_DROPFILES; they are opened all the same.
TEST_F(PlainPaste, FilesDroppedAsDataAreOpened) {
    StartApp();
    HDROP files = MakeDrop({WriteScratch(L"dragged.txt", "dragged in")});
    std::string list = BytesOf(GlobalLock(files), GlobalSize(files));
    GlobalUnlock(files);
    GlobalFree(files);
    IDataObject* data = DataObjectOf({{CF_HDROP, list}});
    ASSERT_TRUE(data);
    IRichEditOleCallback* callback = CreateOleCallback();
    CLIPFORMAT format = 0;
    EXPECT_EQ(callback->QueryAcceptData(data, &format, RECO_DROP, FALSE, nullptr), S_OK);  // dragged over
    EXPECT_TRUE(FAILED(callback->QueryAcceptData(data, &format, RECO_DROP, TRUE, nullptr)));
    callback->Release();
    data->Release();
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
        PutOnClipboard(FormattedText());
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
    PutOnClipboard(FormattedText());
    SendMessageW(EditControl, EM_SETSEL, 4, 7);
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"one Bold red three");
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
