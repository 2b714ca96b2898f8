// Undo and Redo across a Replace All that put its result into a fresh
// editor: the old editor comes back with its text, selection and history,
// the new one returns on Redo, edits drop what can no longer be redone,
// and loads, New and themes forget the kept editors.
#include "harness.h"

#include <richedit.h>

#include <algorithm>
#include <functional>

#include "app/app.h"
#include "document/document.h"
#include "resources/resource.h"
#include "search/search.h"
#include "view/view.h"

namespace {

std::wstring Lines(int count, const std::wstring& word) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += L"line " + std::to_wstring(i) + L" " + word + L"\r\n";
    return text;
}

std::wstring Replaced(std::wstring text, const std::wstring& from, const std::wstring& to) {
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Always through a fresh editor, whatever the span.
void ReplaceAllInFreshEditor(const wchar_t* search, const wchar_t* replacement) {
    ReplaceAllWithin(search, replacement, {MaxBreaksPerEdit, MaxEditsPerReplaceAll, -1});
    PumpMessages();
}

// One Undo step of its own.
void Insert(const wchar_t* text) {
    SendMessageW(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    PumpMessages();
}

// Ten lines with "alpha" replaced by "omega" through a fresh editor.
struct ReplacedTenLines {
    std::wstring text, replaced;
    HWND old, fresh;
};

ReplacedTenLines ReplaceTenLines() {
    ReplacedTenLines lines;
    lines.text = Lines(10, L"alpha");
    SetEditorText(lines.text);
    lines.old = EditControl;
    ReplaceAllInFreshEditor(L"alpha", L"omega");
    lines.fresh = EditControl;
    lines.replaced = Replaced(lines.text, L"alpha", L"omega");
    return lines;
}

// The editor in place, and the text it shows.
::testing::AssertionResult Shows(HWND editor, const std::wstring& text) {
    if (EditControl != editor) return ::testing::AssertionFailure() << "another editor is in place";
    if (EditorText() != text)
        return ::testing::AssertionFailure() << "the editor shows " << Narrow(EditorText());
    return ::testing::AssertionSuccess();
}

bool CanUndo() { return SendMessageW(EditControl, EM_CANUNDO, 0, 0) != 0; }
bool CanRedo() { return SendMessageW(EditControl, EM_CANREDO, 0, 0) != 0; }

std::wstring CharsPart(const std::wstring& text) {
    size_t chars = text.size() - std::count(text.begin(), text.end(), L'\n');
    return L" " + std::to_wstring(chars) + L" chars";
}

using EditorHistory = AppFixture;

TEST_F(EditorHistory, ALongSpanGoesIntoAFreshEditorAndAShortOneStaysInPlace) {
    StartApp();
    const std::wstring shortSpan = Lines(MaxBreaksPerEdit, L"alpha");
    SetEditorText(shortSpan);
    HWND first = EditControl;
    ReplaceAll(L"alpha", L"beta");
    EXPECT_TRUE(Shows(first, Replaced(shortSpan, L"alpha", L"beta")));

    const std::wstring longSpan = Lines(MaxBreaksPerEdit + 2, L"alpha");
    SetEditorText(longSpan);
    ClearModified();
    ReplaceAll(L"alpha", L"beta");
    const std::wstring replaced = Replaced(longSpan, L"alpha", L"beta");
    EXPECT_NE(EditControl, first);
    EXPECT_EQ(EditorText(), replaced);
    // The caret after the last replacement, as the match-by-match loop leaves it.
    LONG caret = static_cast<LONG>(replaced.rfind(L"beta") + 4 - (MaxBreaksPerEdit + 1));
    EXPECT_EQ(Selection(), (Range{caret, caret}));
    EXPECT_TRUE(IsWindowVisible(EditControl));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(GetFocus(), EditControl);
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
    EXPECT_EQ(StatusPartText(3).rfind(CharsPart(replaced), 0), 0u) << Narrow(StatusPartText(3));
    EXPECT_TRUE(CanUndo());
    EXPECT_FALSE(CanRedo());
}

TEST_F(EditorHistory, UndoBringsTheOldEditorBackAndRedoTheNewOne) {
    StartApp();
    const std::wstring text = Lines(30, L"alpha");
    SetEditorText(text);
    ClearModified();
    Select(5, 9);
    HWND old = EditControl;
    ReplaceAllInFreshEditor(L"alpha", L"be");
    HWND fresh = EditControl;
    const std::wstring replaced = Replaced(text, L"alpha", L"be");
    Range after = Selection();

    SendCommand(IDM_EDIT_UNDO);
    EXPECT_TRUE(Shows(old, text));
    EXPECT_EQ(Selection(), (Range{5, 9}));
    EXPECT_TRUE(IsWindowVisible(old));
    EXPECT_FALSE(IsWindowVisible(fresh));
    EXPECT_EQ(GetFocus(), old);
    EXPECT_TRUE(PumpUntil([] { return !IsModified; }));  // the text is the saved one again
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_EQ(StatusPartText(3).rfind(CharsPart(text), 0), 0u) << Narrow(StatusPartText(3));
    EXPECT_TRUE(CanRedo());

    SendCommand(IDM_EDIT_REDO);
    EXPECT_TRUE(Shows(fresh, replaced));
    EXPECT_EQ(Selection(), after);
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(StatusPartText(3).rfind(CharsPart(replaced), 0), 0u) << Narrow(StatusPartText(3));

    // The same with the keys, which never reach the control as characters.
    PressCtrlKey('Z');
    EXPECT_TRUE(Shows(old, text));
    PressCtrlKey('Y');
    EXPECT_TRUE(Shows(fresh, replaced));
    // Nothing more to redo: Ctrl+Y changes nothing.
    PressCtrlKey('Y');
    EXPECT_TRUE(Shows(fresh, replaced));
}

TEST_F(EditorHistory, EditsAfterTheReplaceAllAreUndoneFirstAndRedoneLast) {
    StartApp();
    const auto [text, replaced, old, fresh] = ReplaceTenLines();
    Type(L"x");  // at the caret, after the last replacement
    std::wstring typed = replaced;
    typed.insert(typed.rfind(L"omega") + 5, L"x");
    EXPECT_EQ(EditorText(), typed);

    SendCommand(IDM_EDIT_UNDO);
    EXPECT_TRUE(Shows(fresh, replaced));
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_TRUE(Shows(old, text));

    SendCommand(IDM_EDIT_REDO);
    EXPECT_TRUE(Shows(fresh, replaced));
    SendCommand(IDM_EDIT_REDO);
    EXPECT_EQ(EditorText(), typed);
}

// Before the Replace All the old editor had an edit of its own and one it
// could redo. Back in it, Undo goes on into its own history and Redo first
// redoes what was undone there, then returns to the Replace All; the step
// it could redo from before the Replace All is never replayed.
TEST_F(EditorHistory, TheOldEditorsOwnHistoryGoesOnAndItsStaleRedoIsSkipped) {
    StartApp();
    const std::wstring text = Lines(10, L"alpha");
    SetEditorText(text);
    Select(0, 0);
    Insert(L"q");
    Insert(L"z");
    SendCommand(IDM_EDIT_UNDO);  // the z can be redone now
    const std::wstring before = EditorText();
    HWND old = EditControl;
    ReplaceAllInFreshEditor(L"alpha", L"omega");
    HWND fresh = EditControl;
    const std::wstring replaced = EditorText();

    SendCommand(IDM_EDIT_UNDO);
    ASSERT_EQ(EditControl, old);
    EXPECT_EQ(EditorText(), before);
    while (EditorText() == before && SendMessageW(EditControl, EM_CANUNDO, 0, 0)) SendCommand(IDM_EDIT_UNDO);
    const std::wstring undone = EditorText();
    EXPECT_EQ(EditControl, old);
    EXPECT_NE(undone, before);

    SendCommand(IDM_EDIT_REDO);
    EXPECT_TRUE(Shows(old, before));
    SendCommand(IDM_EDIT_REDO);
    EXPECT_TRUE(Shows(fresh, replaced)) << "the z typed before the Replace All came back instead";
}

TEST_F(EditorHistory, TypingInTheOldEditorDropsTheNewOne) {
    StartApp();
    const ReplacedTenLines lines = ReplaceTenLines();
    SendCommand(IDM_EDIT_UNDO);
    ASSERT_EQ(EditControl, lines.old);

    Type(L"y");
    EXPECT_FALSE(CanRedo());
    SendCommand(IDM_EDIT_REDO);
    EXPECT_TRUE(Shows(lines.old, lines.text + L"y"));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(lines.fresh); }));
}

// The old editor holds the text from before the Replace All, which the
// file on disk no longer has once the new text is saved.
TEST_F(EditorHistory, AfterASaveTheOldEditorComesBackModified) {
    StartApp();
    const std::wstring path = WriteScratch(L"history.txt", Narrow(Lines(10, L"alpha")));
    ASSERT_TRUE(LoadTextFile(MainWindow, EditControl, path.c_str()));
    SetDocumentPath(path.c_str());
    ClearModified();
    ReplaceAllInFreshEditor(L"alpha", L"omega");
    ASSERT_TRUE(FinishSave(SaveDocument()));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - history.txt");

    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), Lines(10, L"alpha"));
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - history.txt *(unsaved)");
    EXPECT_EQ(ReadBytes(path), Narrow(Replaced(Lines(10, L"alpha"), L"alpha", L"omega")));
}

TEST_F(EditorHistory, NewLoadsAndThemesForgetTheKeptEditors) {
    StartApp();
    const std::wstring path = WriteScratch(L"other.txt", "other text");
    struct Step {
        const char* name;
        std::function<void()> run;
    } steps[] = {
        {"New", [] { SendCommand(IDM_FILE_NEW); }},
        {"Open", [&] { ASSERT_TRUE(LoadTextFile(MainWindow, EditControl, path.c_str())); }},
        {"theme", [] { SendCommand(IDM_THEME_FIRST + 1); }},
    };
    for (const Step& step : steps) {
        SetEditorText(Lines(10, L"alpha"));
        HWND old = EditControl;
        ReplaceAllInFreshEditor(L"alpha", L"omega");
        ClearModified();  // New asks nothing
        step.run();
        EXPECT_FALSE(CanUndo()) << step.name;
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(old); })) << step.name;
        const std::wstring now = EditorText();
        SendCommand(IDM_EDIT_UNDO);
        EXPECT_EQ(EditorText(), now) << step.name;
    }
}

// Word wrap and zoom chosen while the old editor was hidden apply to it
// when it comes back.
TEST_F(EditorHistory, TheOldEditorComesBackWithTheViewOfNow) {
    StartApp();
    const std::wstring longLine(2000, L'w');
    SetEditorText(longLine + L" alpha\r\n" + Lines(5, L"alpha"));
    HWND old = EditControl;
    ReplaceAllInFreshEditor(L"alpha", L"omega");
    SendCommand(IDM_OPTIONS_AUTOWRAP);
    SendCommand(IDM_ZOOM_150);
    LRESULT wrappedLines = SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0);
    ASSERT_GT(wrappedLines, 7);

    SendCommand(IDM_EDIT_UNDO);
    ASSERT_EQ(EditControl, old);
    int numerator = 0, denominator = 0;
    SendMessageW(old, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    EXPECT_EQ(MulDiv(numerator, 100, denominator ? denominator : 1), 150);
    EXPECT_EQ(SendMessageW(old, EM_GETLINECOUNT, 0, 0), wrappedLines);
}

// Two Replace Alls are undone one after the other; a third one lets the
// oldest editor go, so Undo ends at the text after the first.
TEST_F(EditorHistory, OnlyTheLastFewReplaceAllsAreKept) {
    StartApp();
    SetEditorText(Lines(5, L"a0"));
    HWND original = EditControl;
    ReplaceAllInFreshEditor(L"a0", L"a1");
    ReplaceAllInFreshEditor(L"a1", L"a2");
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), Lines(5, L"a1"));
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), Lines(5, L"a0"));
    EXPECT_EQ(EditControl, original);
    SendCommand(IDM_EDIT_REDO);
    SendCommand(IDM_EDIT_REDO);
    EXPECT_EQ(EditorText(), Lines(5, L"a2"));

    ReplaceAllInFreshEditor(L"a2", L"a3");
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(original); }));
    for (int i = 0; i < 5; ++i) SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), Lines(5, L"a1"));
    EXPECT_FALSE(CanUndo());
}

}  // namespace
