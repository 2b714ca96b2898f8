// Replacing a large document (Open, New, a drop): a fresh editor takes the
// old one's place, with the old one's setup and the new text, and the old
// one is destroyed once no editor procedure is running.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "resources/resource.h"
#include "search/search.h"
#include "view/view.h"

namespace {

// About 50,000 characters in 1,000 lines: more than a control keeps.
std::string LargeText() {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "line " + std::to_string(i) + " of the large document, padded\r\n";
    return text;
}

void OpenLarge() {
    std::wstring path = WriteScratch(L"large.txt", LargeText());
    ASSERT_TRUE(LoadTextFile(MainWindow, EditControl, path.c_str()));
    SetDocumentPath(path.c_str());
    ClearModified();
    ResetView();
    PumpMessages();
}

// What the user meets in the editor after a replace: the new text with the
// caret at its start, nothing to undo, the keys in the editor, the old
// window gone, and typing that works and marks the document modified.
void ExpectFreshEditor(HWND old, const std::wstring& text, const std::wstring& title) {
    EXPECT_NE(EditControl, old);
    EXPECT_EQ(EditorText(), text);
    EXPECT_EQ(WindowText(MainWindow), title);
    EXPECT_EQ(Selection(), (Range{0, 0}));
    EXPECT_EQ(SendMessageW(EditControl, EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(GetFocus(), EditControl);
    EXPECT_EQ(GetParent(EditControl), MainWindow);
    EXPECT_EQ(GetDlgCtrlID(EditControl), IDC_EDITOR);
    EXPECT_TRUE(IsWindowVisible(EditControl));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(old); }));
    std::wstring chars = L" " + std::to_wstring(text.size() - std::count(text.begin(), text.end(), L'\n'));
    EXPECT_EQ(StatusPartText(3).rfind(chars + L" chars", 0), 0u) << Narrow(StatusPartText(3));

    SendMessageW(EditControl, WM_CHAR, L'x', 1);
    EXPECT_EQ(EditorText(), L"x" + text);
    EXPECT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(WindowText(MainWindow), title + L" *(unsaved)");
    EXPECT_EQ(SendMessageW(EditControl, EM_CANUNDO, 0, 0), 1);
}

// The gutter stands just left of the editor, as wide as the numbers need,
// and the text keeps its inset.
void ExpectLaidOut() {
    RECT gutter, editor, format;
    GetWindowRect(GutterWindow, &gutter);
    GetWindowRect(EditControl, &editor);
    EXPECT_EQ(gutter.right, editor.left);
    int width = GutterWidth;
    EXPECT_EQ(ComputeGutterWidth(MainWindow, EditControl), width);
    EXPECT_EQ(gutter.right - gutter.left, width);
    SendMessageW(EditControl, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.left, 3);
    EXPECT_EQ(format.top, 3);
}

// What the setup of an editor amounts to, as far as it can be read back.
struct EditorSetup {
    LONG_PTR style, extendedStyle;
    LRESULT eventMask, limit;
    bool subclassed;
    COLORREF text, background;
    std::wstring face;
    LONG height;
    int zoomNumerator, zoomDenominator;
};

EditorSetup ReadSetup(HWND edit) {
    EditorSetup setup = {};
    setup.style = GetWindowLongPtrW(edit, GWL_STYLE) & ~WS_VISIBLE;
    setup.extendedStyle = GetWindowLongPtrW(edit, GWL_EXSTYLE);
    setup.eventMask = SendMessageW(edit, EM_GETEVENTMASK, 0, 0);
    setup.limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
    // Subclassed: its window procedure is no longer its class's.
    setup.subclassed =
        static_cast<ULONG_PTR>(GetWindowLongPtrW(edit, GWLP_WNDPROC)) != GetClassLongPtrW(edit, GCLP_WNDPROC);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    setup.text = format.crTextColor;
    setup.face = format.szFaceName;
    setup.height = format.yHeight;
    // EM_SETBKGNDCOLOR answers with the colour it replaces; the same colour
    // is put back.
    setup.background = static_cast<COLORREF>(SendMessageW(edit, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)));
    SendMessageW(edit, EM_SETBKGNDCOLOR, 0, setup.background);
    SendMessageW(edit, EM_GETZOOM, reinterpret_cast<WPARAM>(&setup.zoomNumerator),
                 reinterpret_cast<LPARAM>(&setup.zoomDenominator));
    return setup;
}

void ExpectSameSetup(const EditorSetup& fresh, const EditorSetup& old) {
    EXPECT_EQ(fresh.style, old.style);
    EXPECT_EQ(fresh.extendedStyle, old.extendedStyle);
    EXPECT_TRUE(fresh.extendedStyle & WS_EX_ACCEPTFILES);
    EXPECT_EQ(fresh.eventMask, EditorEventMask);
    EXPECT_EQ(fresh.limit, EditorTextLimit);
    EXPECT_TRUE(fresh.subclassed);
    EXPECT_EQ(fresh.text, old.text);
    EXPECT_EQ(fresh.background, old.background);
    EXPECT_EQ(fresh.face, old.face);
    EXPECT_EQ(fresh.height, old.height);
    EXPECT_EQ(MulDiv(fresh.zoomNumerator, 100, std::max(fresh.zoomDenominator, 1)),
              MulDiv(old.zoomNumerator, 100, std::max(old.zoomDenominator, 1)));
}

}  // namespace

using ReplaceDocument = AppFixture;

TEST_F(ReplaceDocument, OpenNewAndADropOverALargeDocument) {
    StartApp();
    struct Row {
        const char* name;
        std::function<void()> replace;
        std::wstring text, title;
    } rows[] = {
        {"Open", [] { OpenThroughTheDialog(WriteScratch(L"small.txt", "one\r\ntwo\r\n")); },
         L"one\r\ntwo\r\n", L"Tavilo - small.txt"},
        {"New", [] { SendCommand(IDM_FILE_NEW); }, L"", L"Tavilo - New Document"},
        // Both files of one drop load; the second goes into the fresh
        // editor that the first put in place.
        {"a drop of two files",
         [] {
             Drop({WriteScratch(L"first.txt", "first"), WriteScratch(L"second.txt", "second\r\n")});
         },
         L"second\r\n", L"Tavilo - second.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ClearModified();
        OpenLarge();
        HWND old = EditControl;
        SetFocus(old);
        ASSERT_EQ(GetFocus(), old);
        row.replace();
        ExpectFreshEditor(old, row.text, row.title);
        ExpectLaidOut();
    }
}

// The warning box of a dropped ANSI file runs its own message loop while
// the old editor's procedure is still handling the drop: the old editor
// must live until that procedure has returned.
TEST_F(ReplaceDocument, TheOldEditorOutlivesABoxShownDuringTheDrop) {
    StartApp();
    OpenLarge();
    HWND old = EditControl;
    SetFocus(old);
    bool aliveDuringBox = false;
    DialogWatcher watcher([&](const DialogInfo& info) {
        aliveDuringBox = IsWindow(old) && EditControl != old;
        PressButton(info.window, IDOK);
    });
    Drop({WriteScratch(L"ansi.txt", "caf\xE9")});
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, L"Encoding Warning");
    EXPECT_TRUE(aliveDuringBox);
    ExpectFreshEditor(old, L"caf\u00E9", L"Tavilo - ansi.txt");
}

// The fresh editor has everything the old one was given: font, colours,
// word wrap and zoom as the view has them now (a drop keeps the zoom).
TEST_F(ReplaceDocument, AFreshEditorKeepsTheViewSettings) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 2);
    SendCommand(IDM_SIZE_FIRST + 4);
    SendCommand(IDM_OPTIONS_AUTOWRAP);
    OpenLarge();
    SetZoom(150);
    HWND old = EditControl;
    EditorSetup before = ReadSetup(old);
    std::string longLine(3000, 'w');
    Drop({WriteScratch(L"long.txt", longLine)});
    ASSERT_NE(EditControl, old);
    ExpectSameSetup(ReadSetup(EditControl), before);
    EXPECT_GT(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0), 1);  // wrapped
    EXPECT_EQ(StatusPartText(2), L" Zoom: 150% ");
    ExpectLaidOut();
}

// A small text is replaced inside the control that holds it.
TEST_F(ReplaceDocument, ASmallDocumentKeepsItsEditor) {
    StartApp();
    HWND first = EditControl;
    SetEditorText(L"a few words");
    ClearModified();
    OpenThroughTheDialog(WriteScratch(L"small.txt", "other words"));
    EXPECT_EQ(EditControl, first);
    EXPECT_EQ(EditorText(), L"other words");
    EXPECT_EQ(StatusPartText(3).rfind(L" 11 chars", 0), 0u) << Narrow(StatusPartText(3));
}

// WM_SETFOCUS that reaches an editor no longer in EditControl's place or
// no longer shown: the focus went through it on its way to the fresh one.
static int FocusToPutAsideEditors = 0;
static LRESULT CALLBACK CountFocusToPutAside(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR) {
    if (message == WM_SETFOCUS && (window != EditControl || !IsWindowVisible(window)))
        ++FocusToPutAsideEditors;
    return DefSubclassProc(window, message, wParam, lParam);
}

// The focus goes from the old editor straight to the fresh one.
TEST_F(ReplaceDocument, TheFocusGoesStraightToTheFreshEditor) {
    StartApp();
    struct Row {
        const char* name;
        std::function<void()> replace;
    } rows[] = {
        {"New", [] { SendCommand(IDM_FILE_NEW); }},
        {"Open", [] { OpenThroughTheDialog(WriteScratch(L"small.txt", "small")); }},
        {"Replace All",
         [] {
             ReplaceAllWithin(L"line", L"row", {MaxBreaksPerEdit, MaxEditsPerReplaceAll, 100});
         }},
    };
    for (const Row& row : rows) {
        ClearModified();
        OpenLarge();
        HWND old = EditControl;
        SetFocus(old);
        ASSERT_EQ(GetFocus(), old) << row.name;
        FocusToPutAsideEditors = 0;
        SetWindowSubclass(old, CountFocusToPutAside, 1, 0);
        row.replace();
        PumpMessages();
        EXPECT_NE(EditControl, old) << row.name;
        EXPECT_EQ(GetFocus(), EditControl) << row.name;
        EXPECT_EQ(FocusToPutAsideEditors, 0) << row.name;
        if (IsWindow(old)) RemoveWindowSubclass(old, CountFocusToPutAside, 1);
    }
}
