// The Find, Replace and Go To Line dialogs: their templates as built into
// the program, and the real dialogs run by commands 115, 116 and 117.
#include "harness.h"

#include <richedit.h>

#include <functional>

#include "app/app.h"
#include "dialog_watcher.h"
#include "resources/resource.h"
#include "search/search.h"

namespace {

// ---- Reading a dialog template (DIALOG, not DIALOGEX) from the resources

struct TemplateItem {
    int id;
    std::wstring className;
    std::wstring text;
    short x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<TemplateItem> items;
};

// A string, or an ordinal written as "#n"; the ordinals of the predefined
// control classes are named.
const WORD* ReadNameOrOrdinal(const WORD* at, std::wstring* text) {
    if (*at == 0xFFFF) {
        switch (at[1]) {
        case 0x80: *text = L"Button"; break;
        case 0x81: *text = L"Edit"; break;
        case 0x82: *text = L"Static"; break;
        default: *text = L"#" + std::to_wstring(at[1]); break;
        }
        return at + 2;
    }
    *text = reinterpret_cast<const wchar_t*>(at);
    return at + text->size() + 1;
}

const WORD* AlignToDword(const WORD* at, const BYTE* base) {
    size_t offset = reinterpret_cast<const BYTE*>(at) - base;
    return reinterpret_cast<const WORD*>(base + ((offset + 3) & ~size_t(3)));
}

DialogTemplate ReadTemplate(int id) {
    DialogTemplate result;
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG);
    EXPECT_TRUE(resource != nullptr) << id;
    if (!resource) return result;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    const DLGTEMPLATE* head = reinterpret_cast<const DLGTEMPLATE*>(base);
    EXPECT_NE(*reinterpret_cast<const DWORD*>(base), 0xFFFF0001u) << "an extended template";
    result.style = head->style;
    result.cx = head->cx;
    result.cy = head->cy;
    const WORD* at = reinterpret_cast<const WORD*>(base + 18);  // the fixed part of DLGTEMPLATE
    std::wstring menu, windowClass;
    at = ReadNameOrOrdinal(at, &menu);
    at = ReadNameOrOrdinal(at, &windowClass);
    at = ReadNameOrOrdinal(at, &result.caption);
    if (result.style & DS_SETFONT) {
        result.pointSize = *at++;
        at = ReadNameOrOrdinal(at, &result.face);
    }
    for (int i = 0; i < head->cdit; ++i) {
        at = AlignToDword(at, base);
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        TemplateItem read = {
            static_cast<short>(item->id), L"", L"", item->x, item->y, item->cx, item->cy, item->style};
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(item) + 18);
        at = ReadNameOrOrdinal(at, &read.className);
        at = ReadNameOrOrdinal(at, &read.text);
        WORD extra = *at++;
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at) + extra);
        result.items.push_back(read);
    }
    return result;
}

const DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD Child = WS_CHILD | WS_VISIBLE;
const DWORD Label = Child | WS_GROUP | SS_LEFT;
const DWORD EditBox = Child | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
const DWORD CheckBox = Child | WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD Push = Child | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD DefaultPush = Child | WS_TABSTOP | BS_DEFPUSHBUTTON;

void ExpectTemplate(int id, const wchar_t* caption, short cx, short cy,
                    const std::vector<TemplateItem>& items) {
    DialogTemplate read = ReadTemplate(id);
    EXPECT_EQ(read.style, DialogStyle) << id;
    EXPECT_EQ(read.caption, caption) << id;
    EXPECT_EQ(read.cx, cx) << id;
    EXPECT_EQ(read.cy, cy) << id;
    EXPECT_EQ(read.pointSize, 8) << id;
    EXPECT_EQ(read.face, L"MS Shell Dlg") << id;
    ASSERT_EQ(read.items.size(), items.size()) << id;
    for (size_t i = 0; i < items.size(); ++i) {
        const TemplateItem& want = items[i];
        const TemplateItem& got = read.items[i];
        std::string where = "dialog " + std::to_string(id) + ", control " + std::to_string(i);
        EXPECT_EQ(got.id, want.id) << where;
        EXPECT_EQ(got.className, want.className) << where;
        EXPECT_EQ(got.text, want.text) << where;
        EXPECT_EQ(got.x, want.x) << where;
        EXPECT_EQ(got.y, want.y) << where;
        EXPECT_EQ(got.cx, want.cx) << where;
        EXPECT_EQ(got.cy, want.cy) << where;
        EXPECT_EQ(got.style, want.style) << where;
    }
}

// ---- Running the real dialogs

// The messages of this thread, with the dialog's keyboard handling, as the
// modal loop runs them.
void PumpDialog(HWND dialog) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void PressKeyIn(HWND dialog, int boxId, WPARAM key) {
    HWND box = GetDlgItem(dialog, boxId);
    SetFocus(box);
    PostMessageW(box, WM_KEYDOWN, key, 1);
    PumpDialog(dialog);
}

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring BoxText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// A dialog still running its modal loop: EndDialog hides it.
bool IsOpen(HWND dialog) { return IsWindow(dialog) && IsWindowVisible(dialog); }

// What a run of a dialog saw: the message boxes it showed, each answered
// with OK, and their owners.
struct DialogRun {
    int dialogsSeen = 0;
    std::vector<std::wstring> boxTexts;
    std::vector<HWND> boxOwners;
};

// Runs the command, hands its dialog to `script` once it shows, and
// cancels the dialog if the script left it open.
DialogRun RunDialog(UINT command, const std::function<void(HWND)>& script) {
    DialogRun run;
    DialogWatcher watcher([&](const DialogInfo& info) {
        if (!info.HasButton(IDCANCEL)) {  // an MB_OK message box
            run.boxTexts.push_back(info.text);
            run.boxOwners.push_back(GetWindow(info.window, GW_OWNER));
            PressButton(info.window, IDOK);
            return;
        }
        ++run.dialogsSeen;
        script(info.window);
        if (IsOpen(info.window)) PressButton(info.window, IDCANCEL);
    });
    SendCommand(command);
    return run;
}

void ExpectBesideEditor(HWND dialog) {
    RECT editor, placed;
    GetWindowRect(EditControl, &editor);
    GetWindowRect(dialog, &placed);
    EXPECT_EQ(placed.left, editor.left + (editor.right - editor.left) / 2 + 5);
    EXPECT_EQ(placed.top, editor.top + 80);
}

std::wstring DialogFontFace(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof(logFont), &logFont);
    return logFont.lfFaceName;
}

}  // namespace

// ---- Templates

TEST(SearchDialogTemplates, FindDialog) {
    ExpectTemplate(IDD_FIND, L"Find", 220, 90,
                   {{-1, L"Static", L"Find what:", 10, 10, 50, 10, Label},
                    {IDC_FIND_TEXT, L"Edit", L"", 10, 25, 200, 14, EditBox},
                    {IDC_MATCH_CASE, L"Button", L"Match case", 10, 45, 70, 10, CheckBox},
                    {IDC_WHOLE_WORD, L"Button", L"Whole word", 100, 45, 70, 10, CheckBox},
                    {IDC_FIND_NEXT, L"Button", L"Next", 10, 65, 60, 14, DefaultPush},
                    {IDC_FIND_PREVIOUS, L"Button", L"Previous", 80, 65, 60, 14, Push},
                    {IDCANCEL, L"Button", L"Cancel", 150, 65, 60, 14, Push}});
}

TEST(SearchDialogTemplates, ReplaceDialogHasNoDefaultButton) {
    ExpectTemplate(IDD_REPLACE, L"Find & Replace", 310, 95,
                   {{-1, L"Static", L"Find what:", 10, 10, 60, 10, Label},
                    {IDC_REPLACE_FIND_TEXT, L"Edit", L"", 80, 10, 200, 14, EditBox},
                    {-1, L"Static", L"Replace with:", 10, 30, 70, 10, Label},
                    {IDC_REPLACE_WITH_TEXT, L"Edit", L"", 80, 30, 200, 14, EditBox},
                    {IDC_MATCH_CASE, L"Button", L"Match case", 80, 50, 80, 10, CheckBox},
                    {IDC_WHOLE_WORD, L"Button", L"Whole word", 170, 50, 80, 10, CheckBox},
                    {IDC_REPLACE_FIND_NEXT, L"Button", L"Find Next", 10, 70, 70, 14, Push},
                    {IDC_REPLACE_ONE, L"Button", L"Replace", 90, 70, 70, 14, Push},
                    {IDC_REPLACE_ALL, L"Button", L"Replace All", 170, 70, 80, 14, Push},
                    {IDCANCEL, L"Button", L"Cancel", 260, 70, 40, 14, Push}});
}

TEST(SearchDialogTemplates, GoToDialog) {
    ExpectTemplate(IDD_GOTO, L"Go To Line", 160, 60,
                   {{IDC_GOTO_LABEL, L"Static", L"Line number:", 10, 12, 60, 10, Label},
                    {IDC_GOTO_LINE, L"Edit", L"", 75, 10, 60, 14, EditBox | ES_NUMBER},
                    {IDOK, L"Button", L"OK", 35, 35, 40, 14, DefaultPush},
                    {IDCANCEL, L"Button", L"Cancel", 85, 35, 40, 14, Push}});
}

// ---- Input checks and placement, without the dialogs

TEST(GoToLineNumbers, OnlyNumbersFrom1To2147483647) {
    struct Row {
        const wchar_t* text;
        int line;
    } rows[] = {
        {L"5", 5},
        {L"1", 1},
        {L"0005", 5},
        {L" 12 ", 12},
        {L"2147483647", 2147483647},
        {L"", 0},
        {L" ", 0},
        {L"0", 0},
        {L"00", 0},
        {L"2147483648", 0},
        {L"4294967295", 0},
        {L"4294967296", 0},
        {L"99999999999999999999", 0},
        {L"-5", 0},
        {L"+5", 0},
        {L"5a", 0},
        {L"a5", 0},
        {L"1 2", 0},
        {L"\x0665", 0},  // an Arabic-Indic five is no ASCII digit
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseLineNumber(row.text), row.line) << "\"" << Narrow(row.text) << "\"";
    }
}

TEST(DialogPlacement, BesideTheMiddleOfTheEditor) {
    struct Row {
        RECT editor;
        POINT at;
    } rows[] = {
        {{0, 0, 800, 600}, {405, 80}},
        {{100, 50, 901, 650}, {505, 130}},     // odd width rounds down
        {{-300, -40, -100, 200}, {-195, 40}},  // off the screen stays off it
        {{10, 10, 10, 10}, {15, 90}},          // an editor of no size
    };
    for (const Row& row : rows) {
        POINT at = ComputeDialogPosition(row.editor);
        EXPECT_EQ(at.x, row.at.x) << "editor left " << row.editor.left << " right " << row.editor.right;
        EXPECT_EQ(at.y, row.at.y) << "editor top " << row.editor.top;
    }
}

// ---- The dialogs

using SearchDialogs = AppFixture;

TEST_F(SearchDialogs, FindOpensWithTheSelectionBesideTheEditor) {
    StartApp();
    SetEditorText(L"xx abc yy");
    Select(3, 6);
    DialogRun run = RunDialog(IDM_EDIT_FIND, [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Find");
        EXPECT_EQ(BoxText(dialog, IDC_FIND_TEXT), L"abc");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FIND_TEXT));
        EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDC_FIND_NEXT, DC_HASDEFID));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MATCH_CASE), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_WHOLE_WORD), BST_UNCHECKED);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), MainWindow);
        EXPECT_EQ(DialogFontFace(dialog), L"MS Shell Dlg");
        ExpectBesideEditor(dialog);
    });
    EXPECT_EQ(run.dialogsSeen, 1);
    EXPECT_EQ(Selection(), (Range{3, 6}));

    // 300 selected characters are no seed.
    SetEditorText(std::wstring(300, L'q'));
    Select(0, 300);
    run = RunDialog(IDM_EDIT_FIND, [](HWND dialog) { EXPECT_EQ(BoxText(dialog, IDC_FIND_TEXT), L""); });
    EXPECT_EQ(run.dialogsSeen, 1);
}

TEST_F(SearchDialogs, ReplaceOpensWithTheSeedBesideTheEditor) {
    StartApp();
    SetEditorText(L"xx abc yy");
    Select(3, 6);
    DialogRun run = RunDialog(IDM_EDIT_REPLACE, [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Find & Replace");
        EXPECT_EQ(BoxText(dialog, IDC_REPLACE_FIND_TEXT), L"abc");
        EXPECT_EQ(BoxText(dialog, IDC_REPLACE_WITH_TEXT), L"");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_REPLACE_FIND_TEXT));
        for (int id : {IDC_REPLACE_FIND_NEXT, IDC_REPLACE_ONE, IDC_REPLACE_ALL, IDCANCEL}) {
            LONG style = GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE);
            EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "button " << id;
        }
        ExpectBesideEditor(dialog);
    });
    EXPECT_EQ(run.dialogsSeen, 1);
}

TEST_F(SearchDialogs, EnterRunsNextInTheFindDialog) {
    StartApp();
    SetEditorText(L"one abc two abc");
    Select(0, 0);
    bool closedByEscape = false;
    DialogRun run = RunDialog(IDM_EDIT_FIND, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_FIND_TEXT, L"ABC");
        PressKeyIn(dialog, IDC_FIND_TEXT, VK_RETURN);
        EXPECT_EQ(Selection(), (Range{4, 7}));
        EXPECT_TRUE(IsOpen(dialog));
        PressKeyIn(dialog, IDC_FIND_TEXT, VK_RETURN);
        EXPECT_EQ(Selection(), (Range{12, 15}));
        Click(dialog, IDC_FIND_PREVIOUS);
        EXPECT_EQ(Selection(), (Range{4, 7}));
        PressKeyIn(dialog, IDC_FIND_TEXT, VK_ESCAPE);
        closedByEscape = !IsOpen(dialog);
    });
    EXPECT_TRUE(closedByEscape);
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_EQ(Selection(), (Range{4, 7}));
}

TEST_F(SearchDialogs, EnterDoesNothingInTheReplaceDialog) {
    StartApp();
    SetEditorText(L"abc abc");
    Select(0, 0);
    DialogRun run = RunDialog(IDM_EDIT_REPLACE, [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_REPLACE_FIND_TEXT, L"abc");
        SetDlgItemTextW(dialog, IDC_REPLACE_WITH_TEXT, L"x");
        PressKeyIn(dialog, IDC_REPLACE_FIND_TEXT, VK_RETURN);
        PressKeyIn(dialog, IDC_REPLACE_WITH_TEXT, VK_RETURN);
        EXPECT_TRUE(IsOpen(dialog));
        EXPECT_EQ(Selection(), (Range{0, 0}));
    });
    EXPECT_EQ(run.dialogsSeen, 1);
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_EQ(EditorText(), L"abc abc");
    EXPECT_EQ(Selection(), (Range{0, 0}));
}

TEST_F(SearchDialogs, MatchCaseAppliesToFindNextAndReplaceButNotToReplaceAll) {
    StartApp();
    SetEditorText(L"Foo foo FOO");
    Select(0, 3);
    HWND replaceDialog = nullptr;
    DialogRun run = RunDialog(IDM_EDIT_REPLACE, [&](HWND dialog) {
        replaceDialog = dialog;
        SendMessageW(GetDlgItem(dialog, IDC_MATCH_CASE), BM_CLICK, 0, 0);
        ASSERT_EQ(IsDlgButtonChecked(dialog, IDC_MATCH_CASE), BST_CHECKED);
        SetDlgItemTextW(dialog, IDC_REPLACE_FIND_TEXT, L"foo");
        SetDlgItemTextW(dialog, IDC_REPLACE_WITH_TEXT, L"bar");
        // The selection "Foo" is replaced whatever its case; the search after it keeps to the case.
        Click(dialog, IDC_REPLACE_ONE);
        EXPECT_EQ(EditorText(), L"bar foo FOO");
        EXPECT_EQ(Selection(), (Range{4, 7}));
        Click(dialog, IDC_REPLACE_ONE);
        EXPECT_EQ(EditorText(), L"bar bar FOO");
        Click(dialog, IDC_REPLACE_FIND_NEXT);
        EXPECT_EQ(Selection(), (Range{7, 7}));
        Click(dialog, IDC_REPLACE_ALL);
        EXPECT_EQ(EditorText(), L"bar bar bar");
    });
    // One "Cannot find text" after the second Replace, one after Find Next.
    ASSERT_EQ(run.boxTexts.size(), 2u);
    EXPECT_EQ(run.boxTexts[0], L"Cannot find text");
    EXPECT_EQ(run.boxOwners[0], replaceDialog);
}

TEST_F(SearchDialogs, WholeWordAppliesToFindNextButNotToReplaceAll) {
    StartApp();
    SetEditorText(L"abcd abc");
    Select(0, 0);
    DialogRun run = RunDialog(IDM_EDIT_REPLACE, [](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_WHOLE_WORD), BM_CLICK, 0, 0);
        SetDlgItemTextW(dialog, IDC_REPLACE_FIND_TEXT, L"abc");
        SetDlgItemTextW(dialog, IDC_REPLACE_WITH_TEXT, L"X");
        Click(dialog, IDC_REPLACE_FIND_NEXT);
        EXPECT_EQ(Selection(), (Range{5, 8}));
        Click(dialog, IDC_REPLACE_ALL);
        EXPECT_EQ(EditorText(), L"Xd X");
    });
    EXPECT_TRUE(run.boxTexts.empty());
}

TEST_F(SearchDialogs, EmptySearchBoxesDoNothing) {
    StartApp();
    SetEditorText(L"abc");
    Select(1, 1);
    // The boxes open with the word at the caret; emptied, they do nothing.
    DialogRun run = RunDialog(IDM_EDIT_FIND, [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_FIND_TEXT, L"");
        Click(dialog, IDC_FIND_NEXT);
        Click(dialog, IDC_FIND_PREVIOUS);
    });
    run = RunDialog(IDM_EDIT_REPLACE, [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_REPLACE_FIND_TEXT, L"");
        SetDlgItemTextW(dialog, IDC_REPLACE_WITH_TEXT, L"X");
        Click(dialog, IDC_REPLACE_FIND_NEXT);
        Click(dialog, IDC_REPLACE_ONE);  // an empty search text inserts nothing at the caret
        Click(dialog, IDC_REPLACE_ALL);
    });
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_EQ(EditorText(), L"abc");
    EXPECT_EQ(Selection(), (Range{1, 1}));
}

TEST_F(SearchDialogs, SearchAndReplacementTextsAreCutTo255Characters) {
    StartApp();
    std::wstring head;
    for (int i = 0; i < 255; ++i) head += static_cast<wchar_t>(L'a' + i % 26);
    std::wstring longSearch = head + std::wstring(45, L'#');  // the whole text occurs nowhere
    SetEditorText(L"xx" + head + L"!!");
    Select(0, 0);
    DialogRun run = RunDialog(IDM_EDIT_FIND, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_FIND_TEXT, longSearch.c_str());
        Click(dialog, IDC_FIND_NEXT);
    });
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_EQ(Selection(), (Range{2, 257}));

    std::wstring longReplacement(300, L'R');
    RunDialog(IDM_EDIT_REPLACE, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_REPLACE_FIND_TEXT, longSearch.c_str());
        SetDlgItemTextW(dialog, IDC_REPLACE_WITH_TEXT, longReplacement.c_str());
        Click(dialog, IDC_REPLACE_ALL);
    });
    EXPECT_EQ(EditorText(), L"xx" + std::wstring(255, L'R') + L"!!");
}

TEST_F(SearchDialogs, GoToStaysOpenUntilItHasALineNumber) {
    StartApp();
    std::wstring text;
    for (int i = 1; i <= 10; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
    SetEditorText(text);
    Select(3, 3);
    DialogRun run = RunDialog(IDM_EDIT_GOTO, [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Go To Line");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_GOTO_LINE));
        EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        ExpectBesideEditor(dialog);
        for (const wchar_t* rejected : {L"", L"0", L"2147483648", L"99999999999"}) {
            SetDlgItemTextW(dialog, IDC_GOTO_LINE, rejected);
            PressKeyIn(dialog, IDC_GOTO_LINE, VK_RETURN);
            EXPECT_TRUE(IsOpen(dialog)) << "\"" << Narrow(rejected) << "\"";
            EXPECT_EQ(Selection(), (Range{3, 3}));
        }
        SetDlgItemTextW(dialog, IDC_GOTO_LINE, L"5");
        PressKeyIn(dialog, IDC_GOTO_LINE, VK_RETURN);
        EXPECT_FALSE(IsOpen(dialog));
    });
    EXPECT_EQ(run.dialogsSeen, 1);
    EXPECT_TRUE(run.boxTexts.empty());
    LONG line5 = static_cast<LONG>(SendMessageW(EditControl, EM_LINEINDEX, 4, 0));
    EXPECT_EQ(Selection(), (Range{line5, line5}));
    EXPECT_EQ(SendMessageW(EditControl, EM_LINEFROMCHAR, line5, 0), 4);
    EXPECT_EQ(GetFocus(), EditControl);
}

TEST_F(SearchDialogs, GoToCancelMovesNothing) {
    StartApp();
    SetEditorText(L"one\r\ntwo\r\nthree");
    Select(5, 7);
    DialogRun run = RunDialog(IDM_EDIT_GOTO, [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_GOTO_LINE, L"3");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(run.dialogsSeen, 1);
    EXPECT_EQ(Selection(), (Range{5, 7}));
}
