// The search engine through the real rich edit control: Find Next and
// Find Previous with their messages, Replace, Replace All (also against
// the match-by-match loop), Go To Line and the seed of the dialogs.
#include "harness.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <climits>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "resources/resource.h"
#include "search/search.h"

namespace {

// The text as the control holds it: paragraphs end in a lone CR, so an
// index is a character position.
std::wstring StoredText(HWND edit = EditControl) {
    GETTEXTLENGTHEX measure = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT length = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0);
    std::wstring text(length + 1, L'\0');
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.codepage = 1200;
    text.resize(SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                             reinterpret_cast<LPARAM>(text.data())));
    return text;
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialog that asks: the Find dialog's own template, made modeless and
// left hidden, so that its check boxes are real and it can own the
// message boxes without the watcher taking it for one.
class AskingDialog {
public:
    AskingDialog() {
        window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FIND), MainWindow,
                                     InertDialogProc, 0);
    }
    ~AskingDialog() { DestroyWindow(window_); }
    AskingDialog(const AskingDialog&) = delete;
    AskingDialog& operator=(const AskingDialog&) = delete;
    operator HWND() const { return window_; }
    void Check(int id) { CheckDlgButton(window_, id, BST_CHECKED); }

private:
    HWND window_;
};

// Replace All as a plain loop of the control's own messages: search from
// right after the last replacement, select, replace.
void ReplaceAllMatchByMatch(const std::wstring& search, const std::wstring& replacement) {
    Select(0, 0);
    FINDTEXTEXW find = {};
    find.chrg = {0, -1};
    find.lpstrText = search.c_str();
    for (;;) {
        find.chrgText = {0, 0};
        if (SendMessageW(EditControl, EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&find)) < 0) break;
        SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
        InsertText(EditControl, replacement);  // as Replace puts it in: line breaks made one CR each
        find.chrg = {find.chrgText.cpMin + static_cast<LONG>(replacement.size()), -1};
    }
}

// Find without Match case and Whole word in a control that folds every
// letter (Windows' folds non-ASCII letters, Wine's A to Z alone): the
// forward search of EM_FINDTEXTEXW answered from the text, compared unit by
// unit with the system's ordinal case-blind comparison. Other searches go
// to the control.
LRESULT CALLBACK FindFoldingEveryLetter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR) {
    if (message != EM_FINDTEXTEXW || wParam != FR_DOWN)
        return DefSubclassProc(window, message, wParam, lParam);
    FINDTEXTEXW& find = *reinterpret_cast<FINDTEXTEXW*>(lParam);
    std::wstring text = StoredText(window);
    LONG length = lstrlenW(find.lpstrText);
    LONG end = find.chrg.cpMax < 0 ? static_cast<LONG>(text.size()) : find.chrg.cpMax;
    for (LONG at = find.chrg.cpMin; length > 0 && at + length <= end; ++at) {
        if (CompareStringOrdinal(text.c_str() + at, length, find.lpstrText, length, TRUE) == CSTR_EQUAL) {
            find.chrgText = {at, at + length};
            return at;
        }
    }
    return -1;
}

// The two kinds of control a search must agree with; the folding one is
// put over whatever editor is EditControl when Use is called.
struct SearchControl {
    const char* name;
    bool foldsEveryLetter;
    void Use() const {
        if (foldsEveryLetter) SetWindowSubclass(EditControl, FindFoldingEveryLetter, 1, 0);
    }
};
const SearchControl SearchControls[] = {{"the control", false}, {"a control folding every letter", true}};

// Counts what the main window hears from the editor while it lives.
struct EditorNotifications {
    int changes = 0;
    int selectionChanges = 0;
    int titles = 0;
    Range lastSelection = {-1, -1};

    EditorNotifications() { SetWindowSubclass(MainWindow, Count, 1, reinterpret_cast<DWORD_PTR>(this)); }
    ~EditorNotifications() { RemoveWindowSubclass(MainWindow, Count, 1); }

    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        EditorNotifications& seen = *reinterpret_cast<EditorNotifications*>(self);
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) ++seen.changes;
        if (message == WM_SETTEXT) ++seen.titles;
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == EN_SELCHANGE) {
            ++seen.selectionChanges;
            const CHARRANGE& range = reinterpret_cast<SELCHANGE*>(lParam)->chrg;
            seen.lastSelection = {range.cpMin, range.cpMax};
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
};

}  // namespace

// ---- Pure parts

TEST(SearchSeed, TrimsBlanksAndLineEndsAtBothEnds) {
    struct Row {
        const wchar_t* text;
        const wchar_t* trimmed;
    } rows[] = {
        {L"hello ", L"hello"}, {L" \r\nhello\t", L"hello"},
        {L"   ", L""},         {L"", L""},
        {L"a b", L"a b"},      {L"\r", L""},
        {L"\n x", L"x"},       {L"word\r\n", L"word"},
    };
    for (const Row& row : rows) {
        wchar_t buffer[260];
        wcscpy(buffer, row.text);
        TrimSeed(buffer);
        EXPECT_EQ(std::wstring(buffer), row.trimmed) << "from \"" << Narrow(row.text) << "\"";
    }
}

// ---- Find Next and Find Previous

using SearchEngine = AppFixture;

// Find Next and Find Previous from a selection, each step the same search
// again; a search that finds nothing says so and keeps the selection.
TEST_F(SearchEngine, FindStepsThroughTheMatches) {
    StartApp();
    struct Row {
        const char* what;
        std::wstring text;
        Range from;
        bool forward, matchCase, wholeWord;
        const wchar_t* search;
        std::vector<Range> steps;
        const wchar_t* message = nullptr;  // the box shown when nothing is found
    } rows[] = {
        {"next: the only match, selected, again", L"xx abc yy", {3, 6}, true, false, false, L"ABC", {{3, 6}}},
        {"next: moves on and wraps", L"abc then abc", {0, 3}, true, false, false, L"ABC", {{9, 12}, {0, 3}}},
        {"previous: steps back and wraps to the end",
         L"abc abc abc",
         {8, 11},
         false,
         false,
         false,
         L"abc",
         {{4, 7}, {0, 3}, {8, 11}}},
        {"previous from the start", L"xx abc", {0, 0}, false, false, false, L"abc", {{3, 6}}},
        // The window text counts CR LF where the control holds one CR, so the
        // search from "the end" starts past it; the last match is still found.
        {"previous: the last match after CR LF",
         L"abc\r\nxx\r\nabc",
         {0, 0},
         false,
         false,
         false,
         L"abc",
         {{7, 10}}},
        {"next with Match case", L"abc ABC", {0, 0}, true, true, false, L"ABC", {{4, 7}}},
        {"previous with Match case", L"abc ABC", {4, 7}, false, true, false, L"abc", {{0, 3}}},
        {"next with Whole word", L"abcd abc", {0, 0}, true, false, true, L"abc", {{5, 8}}},
        {"next, no match", L"hello world", {2, 4}, true, false, false, L"zzz", {{2, 4}}, L"Cannot find text"},
        {"previous, no match",
         L"hello world",
         {2, 4},
         false,
         false,
         false,
         L"zzz",
         {{2, 4}},
         L"Cannot find text."},
        {"previous in an empty document",
         L"",
         {0, 0},
         false,
         false,
         false,
         L"a",
         {{0, 0}},
         L"Cannot find text."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AskingDialog asker;
        if (row.matchCase) asker.Check(IDC_MATCH_CASE);
        if (row.wholeWord) asker.Check(IDC_WHOLE_WORD);
        DialogWatcher boxes(Press(IDOK));
        SetEditorText(row.text);
        Select(row.from.start, row.from.end);
        for (const Range& step : row.steps) {
            (row.forward ? FindNext : FindPrevious)(asker, row.search);
            EXPECT_EQ(Selection(), step);
        }
        if (!row.message) {
            EXPECT_TRUE(boxes.Seen().empty());
            continue;
        }
        ASSERT_EQ(boxes.Seen().size(), 1u);
        EXPECT_TRUE(IsBox(boxes.Seen()[0], row.message, L"Find", "", {IDOK}, asker));
    }
}

// ---- Replace

// Replace takes the selection when Find, without Match case, would select it.
TEST_F(SearchEngine, ReplaceTakesWhatFindMatches) {
    StartApp();
    AskingDialog asker;
    DialogWatcher boxes(Press(IDOK));
    struct Row {
        std::wstring selected, search;
    } rows[] = {
        {L"Foo", L"fOO"},
        {L"\x00C9lan", L"\x00E9LAN"},
        {L"\x03A9mega", L"\x03C9mega"},
        {L"\x1E9E", L"\x00DF"},
        {L"Foo", L"fo"},
    };
    for (const SearchControl& control : SearchControls) {
        for (const Row& row : rows) {
            SetEditorText(row.selected + L" x");
            control.Use();
            FINDTEXTEXW find = {{0, -1}, row.search.c_str(), {0, 0}};
            SendMessageW(EditControl, EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&find));
            bool findSelects = find.chrgText.cpMin == 0 && find.chrgText.cpMax == LONG(row.selected.size());
            Select(0, static_cast<LONG>(row.selected.size()));
            ReplaceSelection(asker, row.search.c_str(), L"#");
            EXPECT_EQ(EditorText() == L"# x", findSelects)
                << control.name << ": " << Narrow(row.selected) << " / " << Narrow(row.search);
        }
    }
}

// Replace then selects the next match, found with the dialog's options.
TEST_F(SearchEngine, ReplaceThenSelectsTheNextMatch) {
    StartApp();
    struct Row {
        const char* what;
        std::wstring text;
        Range from;
        bool matchCase;
        const wchar_t *search, *replacement;
        std::wstring result;
        Range selection;
    } rows[] = {
        {"the selection is compared without case even with Match case",
         L"Foo bar foo",
         {0, 3},
         true,
         L"foo",
         L"baz",
         L"baz bar foo",
         {8, 11}},
        {"a selection that is not the search text stays",
         L"baz bar foo",
         {4, 7},
         true,
         L"foo",
         L"x",
         L"baz bar foo",
         {8, 11}},
        {"an empty search text inserts nothing", L"abc", {2, 2}, false, L"", L"X", L"abc", {2, 2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AskingDialog asker;
        if (row.matchCase) asker.Check(IDC_MATCH_CASE);
        DialogWatcher boxes(Press(IDOK));
        SetEditorText(row.text);
        Select(row.from.start, row.from.end);
        ReplaceSelection(asker, row.search, row.replacement);
        EXPECT_EQ(EditorText(), row.result);
        EXPECT_EQ(Selection(), row.selection);
        EXPECT_TRUE(boxes.Seen().empty());
    }
}

// Growing, empty and mixed-case replacements are rows of
// ReplaceAllMatchesTheMatchByMatchLoop. No match: nothing changes but the
// caret, which goes to the start, and the document stays unmodified.
TEST_F(SearchEngine, ReplaceAllWithoutAMatchChangesNothing) {
    StartApp();
    SetEditorText(L"xyz");
    ClearModified();
    Select(1, 2);
    ReplaceAll(L"q", L"w");
    PumpMessages();
    EXPECT_EQ(EditorText(), L"xyz");
    EXPECT_EQ(Selection(), (Range{0, 0}));
    EXPECT_FALSE(IsModified);
}

TEST_F(SearchEngine, ReplaceAllIsOneChangeAndOneUndoStep) {
    StartApp();
    SetEditorText(L"one two one two one");
    ClearModified();
    PumpMessages();
    EditorNotifications seen;
    ReplaceAll(L"one", L"1");
    EXPECT_EQ(EditorText(), L"1 two 1 two 1");
    EXPECT_EQ(Selection(), (Range{13, 13}));
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    PumpMessages();
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
    EXPECT_EQ(seen.titles, 1);
    EXPECT_EQ(seen.changes, 1);
    // The status bar last heard of the final caret.
    EXPECT_EQ(seen.lastSelection, (Range{13, 13}));

    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"one two one two one");
}

// Replace All reads the text once and replaces in one edit; the result
// must be what replacing match by match gives.
TEST_F(SearchEngine, ReplaceAllMatchesTheMatchByMatchLoop) {
    StartApp();
    struct Row {
        std::wstring text, search, replacement;
    } rows[] = {
        {L"foo bar foo", L"foo", L"x"},  // matches at the start and the end
        {L"foofoofoo", L"foo", L"f"},    // adjacent matches
        {L"aaa", L"a", L"aa"},           // the replacement holds the search text
        {L"abab aba", L"aba", L"abab"},
        {L"abcabc", L"abc", L""},  // empty replacement, nothing left
        {L"xabcabcx", L"abc", L""},
        {L"FoO foo FOO fOo", L"foo", L"Bar"},  // mixed case
        {L"\x00C9t\x00E9 \x00E9t\x00E9 \x00C9T\x00C9", L"\x00E9t\x00E9", L"x"},
        {L"\x00C9lan \x00E9lan \x00C9LAN elan", L"\x00E9lan", L"x"},
        {L"\x03A9mega \x03C9MEGA \x03C9mega", L"\x03C9mega", L"x"},
        {L"\x0414\x0430 \x0434\x0410", L"\x0434\x0430", L"x"},
        {L"\x1E9E \x00DF ss", L"\x00DF", L"x"},  // capital and small sharp s: no simple case pair
        {L"line one\r\nline two\r\n\r\nline", L"LINE", L"L"},
        {L"a\r\nb\r\nc", L"\r", L"-"},  // a paragraph end is searchable as CR
        {L"a\r\nb", L"\n", L"-"},       // but never as LF
        {L"x y x", L"x", L"1\r\n2"},    // replacements with line breaks
        {L"xx", L"x", L"1\r\n"},
        {L"a b a", L"a", L"\n"},
        {L"a b a", L"a", L"p\r\r\nq"},
        {L"no match here", L"zzz", L"y"},
        {L"short", L"longer than the text", L"y"},
        {L"", L"a", L"b"},
    };
    for (const SearchControl& control : SearchControls) {
        for (const Row& row : rows) {
            SetEditorText(row.text);
            control.Use();
            Select(1, 2);
            ReplaceAllMatchByMatch(row.search, row.replacement);
            std::wstring expectedText = StoredText();
            Range expectedSelection = Selection();

            // Also in pieces of one and two lines, as a document of many thousand
            // lines is done in place, in pieces made larger to stay within two
            // edits, and in a fresh editor, as a longer span is done.
            for (ReplaceAllLimits limits :
                 {ReplaceAllLimits{MaxBreaksPerEdit, MaxEditsPerReplaceAll, INT_MAX},
                  ReplaceAllLimits{1, 100, INT_MAX}, ReplaceAllLimits{2, 100, INT_MAX},
                  ReplaceAllLimits{1, 2, INT_MAX}, ReplaceAllLimits{1, 1, INT_MAX},
                  ReplaceAllLimits{MaxBreaksPerEdit, MaxEditsPerReplaceAll, -1}}) {
                std::string name = std::string(control.name) + ": " +
                                   Narrow(row.text + L" / " + row.search + L" / " + row.replacement) +
                                   " in pieces of " + std::to_string(limits.maxBreaksPerEdit) + ", at most " +
                                   std::to_string(limits.maxEdits) +
                                   (limits.freshEditorAbove < 0 ? ", in a fresh editor" : "");
                SetEditorText(row.text);
                control.Use();
                Select(1, 2);
                ReplaceAllWithin(row.search.c_str(), row.replacement.c_str(), limits);
                EXPECT_EQ(StoredText(), expectedText) << name;
                EXPECT_EQ(Selection(), expectedSelection) << name;
            }
        }
    }
}

TEST_F(SearchEngine, ReplaceAllInPiecesIsUndonePieceByPiece) {
    StartApp();
    SetEditorText(L"a1\r\na2\r\na3\r\na4");
    ClearModified();
    PumpMessages();
    EditorNotifications seen;
    ReplaceAllWithin(L"a", L"bb", {2, 100, INT_MAX});  // pieces "a1 a2 " and "a3 a4"
    EXPECT_EQ(EditorText(), L"bb1\r\nbb2\r\nbb3\r\nbb4");
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(seen.changes, 1);
    EXPECT_EQ(seen.lastSelection, Selection());

    SendCommand(IDM_EDIT_UNDO);
    EXPECT_NE(EditorText(), L"a1\r\na2\r\na3\r\na4");
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"a1\r\na2\r\na3\r\na4");
}

// The control forgets the oldest Undo steps past its limit: a span of more
// pieces than that would leave its first lines' old text beyond Undo.
TEST_F(SearchEngine, ReplaceAllTakesNoMoreUndoStepsThanAllowed) {
    StartApp();
    const std::wstring text = L"a1\r\na2\r\na3\r\na4\r\na5\r\na6\r\na7";
    SetEditorText(text);
    SendMessageW(EditControl, EM_SETUNDOLIMIT, 3, 0);
    ReplaceAllWithin(L"a", L"bb", {1, 3, INT_MAX});  // seven one-line pieces would be seven steps
    EXPECT_EQ(EditorText(), L"bb1\r\nbb2\r\nbb3\r\nbb4\r\nbb5\r\nbb6\r\nbb7");
    int undos = 0;
    while (EditorText() != text && undos < 10) {
        SendCommand(IDM_EDIT_UNDO);
        ++undos;
    }
    EXPECT_EQ(EditorText(), text);
    EXPECT_EQ(undos, 3);
}

TEST_F(SearchEngine, ReplaceAllLeavesALongDocumentScrolledAsTheLoopDoes) {
    StartApp();
    std::wstring text;
    for (int i = 0; i < 250; ++i) text += L"item " + std::to_wstring(i) + L" foo\r\n";
    SetEditorText(text);
    ReplaceAllMatchByMatch(L"foo", L"barbar");
    PumpMessages();
    std::wstring expectedText = StoredText();
    Range expectedSelection = Selection();
    LRESULT expectedTop = SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(expectedTop, 0);

    for (ReplaceAllLimits limits : {ReplaceAllLimits{}, ReplaceAllLimits{50, 100, INT_MAX},
                                    ReplaceAllLimits{MaxBreaksPerEdit, 100, -1}}) {
        std::string name =
            std::to_string(limits.maxBreaksPerEdit) + " " + std::to_string(limits.freshEditorAbove);
        SetEditorText(text);
        Select(0, 0);
        SendMessageW(EditControl, EM_SCROLLCARET, 0, 0);
        ReplaceAllWithin(L"foo", L"barbar", limits);
        PumpMessages();
        EXPECT_EQ(StoredText(), expectedText) << name;
        EXPECT_EQ(Selection(), expectedSelection) << name;
        EXPECT_EQ(SendMessageW(EditControl, EM_GETFIRSTVISIBLELINE, 0, 0), expectedTop) << name;
    }
}

// ---- Go To Line

TEST_F(SearchEngine, GoToLinePutsTheCaretAtALineStart) {
    StartApp();
    SetEditorText(L"first\r\nsecond\r\nthird");
    Select(2, 4);
    GoToLine(0);
    GoToLine(-3);
    EXPECT_EQ(Selection(), (Range{2, 4}));

    SetFocus(nullptr);
    GoToLine(1);
    EXPECT_EQ(Selection(), (Range{0, 0}));
    EXPECT_EQ(GetFocus(), EditControl);
    GoToLine(2);
    EXPECT_EQ(Selection(), (Range{6, 6}));
    GoToLine(99);  // past the end: the start of the last line
    EXPECT_EQ(Selection(), (Range{13, 13}));
}

// ---- The seed of the Find and Replace dialogs

TEST_F(SearchEngine, SeedIsTheSelectionUpTo255Characters) {
    StartApp();
    wchar_t seed[260];
    wcscpy(seed, L"stale");
    EXPECT_FALSE(GetSearchSeed(EditControl, seed));  // an empty document
    EXPECT_EQ(seed[0], 0);

    std::wstring text;
    for (int i = 0; i < 300; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
    SetEditorText(text);
    Select(10, 265);
    ASSERT_TRUE(GetSearchSeed(EditControl, seed));
    EXPECT_EQ(std::wstring(seed), text.substr(10, 255));

    Select(10, 266);
    wcscpy(seed, L"stale");
    EXPECT_FALSE(GetSearchSeed(EditControl, seed));
    EXPECT_EQ(seed[0], 0);

    // A selection is taken as it is: blanks and line ends stay.
    SetEditorText(L" ab\r\ncd ");
    Select(0, 7);
    ASSERT_TRUE(GetSearchSeed(EditControl, seed));
    EXPECT_EQ(std::wstring(seed), L" ab\rcd ");
}

TEST_F(SearchEngine, SeedIsTheWordUnderTheCaretTrimmed) {
    StartApp();
    // Whether the control finds the words or the program does (Wine's
    // control answers 0 to word-break queries), the seed is the word.
    struct Row {
        const wchar_t* text;
        LONG caret;
        const wchar_t* seed;
    } rows[] = {
        {L"hello world", 2, L"hello"},
        {L"hello world", 8, L"world"},
        {L"say snake_case2 now", 6, L"snake_case2"},
    };
    for (const Row& row : rows) {
        SetEditorText(row.text);
        Select(row.caret, row.caret);
        wchar_t seed[260];
        wcscpy(seed, L"stale");
        EXPECT_TRUE(GetSearchSeed(EditControl, seed)) << Narrow(row.text) << " at " << row.caret;
        EXPECT_EQ(std::wstring(seed), row.seed) << Narrow(row.text) << " at " << row.caret;
    }
}
