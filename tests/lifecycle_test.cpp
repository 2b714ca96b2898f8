// The document's lifecycle through the real commands, the real prompt and
// the real file dialogs: New, Open and Exit under each answer, the title
// and the modified state, and every way the window can be closed.
#include "harness.h"

#include <commctrl.h>
#include <dlgs.h>
#include <richedit.h>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

// Answers the dialogs that appear in turn, one step per dialog.
using Step = DialogWatcher::Handler;
DialogWatcher::Handler Steps(std::vector<Step> steps) {
    auto next = std::make_shared<size_t>(0);
    return [steps, next](const DialogInfo& info) {
        if (*next < steps.size()) steps[(*next)++](info);
    };
}
Step Answer(int id) { return Press(id); }
Step NameFile(const std::wstring& path) {
    return [path](const DialogInfo& info) { EnterFileName(info.window, path); };
}

::testing::AssertionResult IsPrompt(const DialogInfo& box, const std::wstring& name) {
    return IsBox(box, L"Save changes for " + name + L"?", L"Confirm", "question", {IDYES, IDNO, IDCANCEL});
}

bool QuitPosted() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

}  // namespace

using Lifecycle = AppFixture;

// ---- Identity and title ----------------------------------------------

TEST_F(Lifecycle, PathsGiveNamesAndTitles) {
    StartApp();
    struct Row {
        const wchar_t* path;
        std::wstring name;
    } rows[] = {
        {L"C:\\dir\\notes.txt", L"notes.txt"},
        {L"C:\\notes", L"notes"},
        {L"D:\\a b\\c.d.e", L"c.d.e"},
    };
    for (const Row& row : rows) {
        SetDocumentPath(row.path);
        UpdateWindowTitle();
        EXPECT_EQ(DocumentPath, row.path);
        EXPECT_EQ(DocumentName, row.name) << Narrow(row.path);
        EXPECT_EQ(WindowText(MainWindow), L"Tavilo - " + row.name);
    }
    SetDocumentPath(nullptr);
    EXPECT_TRUE(DocumentPath.empty());
    EXPECT_EQ(DocumentName, L"New Document");
    SetDocumentPath(L"");
    EXPECT_EQ(DocumentName, L"New Document");
}

// A path without a backslash is shown whole, and is kept as a full path
// so that a later save reaches the same file wherever the current folder is.
TEST_F(Lifecycle, RelativePathIsKeptInFull) {
    StartApp();
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    SetDocumentPath(L"notes.txt");
    EXPECT_EQ(DocumentName, L"notes.txt");
    std::wstring expected = folder;
    if (expected.back() != L'\\') expected += L'\\';
    EXPECT_EQ(DocumentPath, expected + L"notes.txt");
}

TEST_F(Lifecycle, LongNamesKeepTheUnsavedMarkerVisible) {
    StartApp();
    SetDocumentPath((L"C:\\dir\\" + std::wstring(250, L'n') + L".txt").c_str());
    TypeAndSync(L"x");
    std::wstring title = WindowText(MainWindow);
    EXPECT_EQ(title.size(), 255u);
    EXPECT_EQ(title.substr(0, 12), L"Tavilo - nnn");
    EXPECT_EQ(title.substr(title.size() - 12), L"\u2026 *(unsaved)");
}

TEST_F(Lifecycle, TypingRewritesTheTitleOncePerBurst) {
    StartApp();
    MessageCounter counter(MainWindow);
    Type(L"a");
    EXPECT_TRUE(PumpUntil([] { return IsModified; }));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
    for (wchar_t c : std::wstring(L"more typing")) {
        SendMessageW(EditControl, WM_CHAR, c, 1);
        PumpMessages();
    }
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(counter[WM_SETTEXT], 1);
}

// After undoing every edit the title follows whatever the control reports.
TEST_F(Lifecycle, UndoingEveryEditFollowsTheControl) {
    StartApp();
    TypeAndSync(L"ab");
    SendCommand(IDM_EDIT_UNDO);
    ASSERT_EQ(EditorText(), L"");
    PumpUntil([] { return false; }, 100);
    bool controlModified = SendMessageW(EditControl, EM_GETMODIFY, 0, 0) != 0;
    EXPECT_EQ(IsModified, controlModified);
    EXPECT_EQ(WindowText(MainWindow), ComposeWindowTitle(L"New Document", controlModified));
}

// ---- Answers that stop New, Open and Exit ----------------------------

// Cancel, a cancelled save dialog and a failing save each stop the command:
// no further dialog, the text, title and modified state as they were.
class StopPath : public AppFixture, public ::testing::WithParamInterface<UINT> {
protected:
    void ExpectUnchanged(const std::wstring& text, const std::wstring& title) {
        EXPECT_TRUE(IsWindow(MainWindow));
        EXPECT_EQ(EditorText(), text);
        EXPECT_TRUE(IsModified);
        EXPECT_EQ(WindowText(MainWindow), title);
        EXPECT_FALSE(ExitInProgress);
    }
};

TEST_P(StopPath, Cancel) {
    StartApp();
    TypeAndSync(L"keep");
    DialogWatcher watcher(Answer(IDCANCEL));
    SendCommand(GetParam());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsPrompt(watcher.Seen()[0], L"New Document"));
    ExpectUnchanged(L"keep", L"Tavilo - New Document *(unsaved)");
}

TEST_P(StopPath, YesWithTheSaveDialogCancelled) {
    StartApp();
    TypeAndSync(L"keep");
    DialogWatcher watcher(Steps({Answer(IDYES), Answer(IDCANCEL), Answer(IDCANCEL)}));
    SendCommand(GetParam());
    ASSERT_EQ(watcher.Seen().size(), 2u);  // silently: no failure box
    EXPECT_EQ(watcher.Seen()[1].caption, L"Save As");
    ExpectUnchanged(L"keep", L"Tavilo - New Document *(unsaved)");
}

TEST_P(StopPath, YesWithAFailingSave) {
    StartApp();
    std::wstring path = WriteScratch(L"ro.txt", "ro");
    OpenThroughTheDialog(path);
    TypeAndSync(L"!");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    DialogWatcher watcher(Steps({Answer(IDYES), Answer(IDOK), Answer(IDCANCEL)}));
    SendCommand(GetParam());
    ASSERT_EQ(watcher.Seen().size(), 2u);
    EXPECT_TRUE(IsPrompt(watcher.Seen()[0], L"ro.txt"));
    EXPECT_TRUE(IsBox(watcher.Seen()[1], L"Failed to save file.", L"Error", "error"));
    ExpectUnchanged(L"!ro", L"Tavilo - ro.txt *(unsaved)");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), "ro");
}

INSTANTIATE_TEST_SUITE_P(Commands, StopPath, ::testing::Values(IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_EXIT),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return info.param == IDM_FILE_NEW    ? "New"
                                    : info.param == IDM_FILE_OPEN ? "Open"
                                                                  : "Exit";
                         });

// ---- New -------------------------------------------------------------

TEST_F(Lifecycle, NewWithoutChangesAsksNothing) {
    StartApp();
    OpenThroughTheDialog(WriteScratch(L"a.txt", B("\xFF\xFEz\x00")));
    SendMessageW(EditControl, EM_SETSEL, 1, 1);
    TypeAndSync(L"y");
    ClearModified();
    SetZoom(200);
    DialogWatcher watcher(Answer(IDCANCEL));
    SendCommand(IDM_FILE_NEW);
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_EQ(EditorText(), L"");
    EXPECT_FALSE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(DocumentPath.empty());
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(ZoomPercent, 100);
    EXPECT_STREQ(DocumentEncoding, L" UTF-16LE ");  // New keeps the label
    EXPECT_EQ(SendMessageW(EditControl, EM_GETEVENTMASK, 0, 0), 0x000B0001);
    // The new document is tracked as usual.
    TypeAndSync(L"n");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
}

TEST_F(Lifecycle, NewNoDiscards) {
    StartApp();
    TypeAndSync(L"drop");
    DialogWatcher watcher(Answer(IDNO));
    SendCommand(IDM_FILE_NEW);
    EXPECT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(EditorText(), L"");
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
}

TEST_F(Lifecycle, NewYesSavesTheFileFirst) {
    StartApp();
    std::wstring path = WriteScratch(L"a.txt", B("\xFF\xFEz\x00"));
    OpenThroughTheDialog(path);
    EXPECT_EQ(StatusPartText(4), L" UTF-16LE ");
    TypeAndSync(L"y");
    DialogWatcher watcher(Answer(IDYES));
    SendCommand(IDM_FILE_NEW);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsPrompt(watcher.Seen()[0], L"a.txt"));
    EXPECT_EQ(ReadBytes(path), "yz");
    EXPECT_EQ(EditorText(), L"");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_STREQ(DocumentEncoding, L" UTF-8 ");
    EXPECT_EQ(StatusPartText(4), L" UTF-8 ");
}

TEST_F(Lifecycle, NewYesOnAFilelessDocumentSavesAs) {
    StartApp();
    TypeAndSync(L"named");
    DialogWatcher watcher(Steps({Answer(IDYES), NameFile(ScratchPath(L"named"))}));
    SendCommand(IDM_FILE_NEW);
    EXPECT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(ReadBytes(ScratchPath(L"named.txt")), "named");
    EXPECT_EQ(EditorText(), L"");
    EXPECT_TRUE(DocumentPath.empty());
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
}

// Edits whose modified-state sync is still queued are not lost without asking.
TEST_F(Lifecycle, NewRightAfterTypingStillAsks) {
    StartApp();
    DialogWatcher watcher(Answer(IDCANCEL));
    for (wchar_t c : std::wstring(L"quick")) SendMessageW(EditControl, WM_CHAR, c, 1);
    SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_NEW, 0);
    EXPECT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(EditorText(), L"quick");
}

// ---- Open ------------------------------------------------------------

TEST_F(Lifecycle, OpenLoadsTheChosenFile) {
    StartApp();
    std::wstring path = WriteScratch(L"b.txt",
                                     "\xEF\xBB\xBF"
                                     "bee");
    SetZoom(150);
    std::wstring filter;
    DialogWatcher watcher([&](const DialogInfo& info) {
        wchar_t text[64] = {};
        GetDlgItemTextW(info.window, cmb1, text, 64);  // the file-type box
        filter = text;
        EnterFileName(info.window, path);
    });
    SendCommand(IDM_FILE_OPEN);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, L"Open");
    EXPECT_EQ(watcher.Seen()[0].owner, MainWindow);
    EXPECT_EQ(filter, L"Text Files (*.txt)");
    EXPECT_EQ(EditorText(), L"bee");
    EXPECT_EQ(DocumentPath, path);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - b.txt");
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(ZoomPercent, 100);
    EXPECT_FALSE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));
}

TEST_F(Lifecycle, OpenNoGoesToTheDialog) {
    StartApp();
    std::wstring path = WriteScratch(L"c.txt", "sea");
    TypeAndSync(L"mine");
    DialogWatcher watcher(Steps({Answer(IDNO), NameFile(path)}));
    SendCommand(IDM_FILE_OPEN);
    EXPECT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(EditorText(), L"sea");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - c.txt");
    EXPECT_FALSE(IsModified);
}

// Yes saves; cancelling the open dialog afterwards keeps the save and the
// current document, now without unsaved changes.
TEST_F(Lifecycle, OpenYesThenCancelKeepsTheSave) {
    StartApp();
    std::wstring path = WriteScratch(L"a.txt", "a");
    OpenThroughTheDialog(path);
    TypeAndSync(L"b");
    DialogWatcher watcher(Steps({Answer(IDYES), Answer(IDCANCEL)}));
    SendCommand(IDM_FILE_OPEN);
    EXPECT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(ReadBytes(path), "ba");
    EXPECT_EQ(EditorText(), L"ba");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - a.txt");
    EXPECT_FALSE(IsModified);
}

// A file another program holds without sharing: the failure is reported,
// and the old text, given up at the prompt but in no file, stays marked
// unsaved under its old title.
TEST_F(Lifecycle, OpenOfAnUnreadableFile) {
    StartApp();
    OpenThroughTheDialog(WriteScratch(L"old.txt", "old"));
    TypeAndSync(L"x");
    std::wstring path = WriteScratch(L"held.txt", "held");
    HANDLE holder =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DialogWatcher watcher(Steps({Answer(IDNO), NameFile(path), Answer(IDOK)}));
    SendCommand(IDM_FILE_OPEN);
    PumpMessages();
    CloseHandle(holder);
    ASSERT_EQ(watcher.Seen().size(), 3u);
    EXPECT_TRUE(IsBox(watcher.Seen()[2], L"Failed to open file.", L"Error", "error"));
    EXPECT_EQ(EditorText(), L"xold");
    EXPECT_EQ(DocumentName, L"old.txt");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - old.txt *(unsaved)");
    EXPECT_TRUE(IsModified);
}

TEST_F(Lifecycle, OpenOfATooLargeFile) {
    StartApp();
    std::wstring path = WriteScratch(L"huge.txt", std::string(10485761, 'h'));
    DialogWatcher watcher(Steps({NameFile(path), Answer(IDOK)}));
    SendCommand(IDM_FILE_OPEN);
    ASSERT_EQ(watcher.Seen().size(), 2u);
    EXPECT_TRUE(IsBox(watcher.Seen()[1], L"File is too large to open. Choose a file smaller than 10MB.",
                      L"Error", "warning"));
    EXPECT_EQ(EditorText(), L"");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
}

// ---- Exit and closing ------------------------------------------------

TEST_F(Lifecycle, ExitWithoutChangesAsksNothing) {
    StartApp();
    DialogWatcher watcher(Answer(IDCANCEL));
    SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_EXIT, 0);
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_TRUE(QuitPosted());
}

TEST_F(Lifecycle, ExitNoCloses) {
    StartApp();
    TypeAndSync(L"x");
    DialogWatcher watcher(Answer(IDNO));
    SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_EXIT, 0);
    EXPECT_EQ(watcher.Seen().size(), 1u);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_TRUE(QuitPosted());
}

TEST_F(Lifecycle, ExitYesSavesThenCloses) {
    StartApp();
    std::wstring path = WriteScratch(L"e.txt", "e");
    OpenThroughTheDialog(path);
    TypeAndSync(L"x");
    DialogWatcher watcher(Answer(IDYES));
    SendCommand(IDM_FILE_EXIT);
    EXPECT_EQ(ReadBytes(path), "xe");
    EXPECT_FALSE(IsWindow(MainWindow));
}

// Close requests that arrive while the prompt is open are ignored (a
// log-off is refused: the user is still choosing); once it is answered
// with Cancel, the next request asks again.
TEST_F(Lifecycle, ASecondCloseRequestIsIgnored) {
    StartApp();
    TypeAndSync(L"x");
    DialogWatcher watcher([](const DialogInfo& info) {
        EXPECT_EQ(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), FALSE);
        SendMessageW(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        SendMessageW(MainWindow, WM_CLOSE, 0, 0);
        SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_EXIT, 0);
        PressButton(info.window, IDCANCEL);
    });
    SendCommand(IDM_FILE_EXIT);
    EXPECT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsWindow(MainWindow));
    EXPECT_TRUE(IsModified);
    DialogWatcher again(Answer(IDCANCEL));
    SendMessageW(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(again.Seen().size(), 1u);
}

// A WM_CLOSE from outside asks like the close box does.
TEST_F(Lifecycle, CloseFromOutsideAsks) {
    StartApp();
    TypeAndSync(L"x");
    {
        DialogWatcher watcher(Answer(IDCANCEL));
        SendMessageW(MainWindow, WM_CLOSE, 0, 0);
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_TRUE(IsPrompt(watcher.Seen()[0], L"New Document"));
    }
    EXPECT_TRUE(IsWindow(MainWindow));
    DialogWatcher watcher(Answer(IDNO));
    SendMessageW(MainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(watcher.Seen().size(), 1u);
    EXPECT_FALSE(IsWindow(MainWindow));
}

// Logging off asks as closing does, but the window stays: the session
// may still go on, and WM_ENDSESSION says whether it ends.
TEST_F(Lifecycle, EndOfSessionQueryAsksAndKeepsTheWindow) {
    StartApp();
    std::wstring path = WriteScratch(L"q.txt", "q");
    OpenThroughTheDialog(path);
    TypeAndSync(L"x");
    struct Row {
        int answer;
        LRESULT result;
        std::string file;
    } rows[] = {{IDCANCEL, FALSE, "q"}, {IDNO, TRUE, "q"}, {IDYES, TRUE, "xq"}};
    for (const Row& row : rows) {
        DialogWatcher watcher(Answer(row.answer));
        EXPECT_EQ(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), row.result) << "answer " << row.answer;
        ASSERT_EQ(watcher.Seen().size(), 1u) << "answer " << row.answer;
        EXPECT_TRUE(IsPrompt(watcher.Seen()[0], L"q.txt"));
        EXPECT_TRUE(IsWindow(MainWindow)) << "answer " << row.answer;
        EXPECT_FALSE(QuitPosted()) << "answer " << row.answer;
        EXPECT_EQ(ReadBytes(path), row.file) << "answer " << row.answer;
    }
}

TEST_F(Lifecycle, EndOfSessionWithoutChangesAsksNothing) {
    StartApp();
    DialogWatcher watcher(Answer(IDCANCEL));
    EXPECT_EQ(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(watcher.Seen().empty());
}

// ---- The end of the session ----------------------------------------

namespace {

// The emergency copies beside the executable (the test program here).
std::vector<std::wstring> EmergencyCopies() {
    std::vector<std::wstring> copies;
    for (const std::wstring& name : FilesIn(TestProgramFolder())) {
        if (name.rfind(L"recovered-", 0) == 0) copies.push_back(name);
    }
    return copies;
}

void RemoveEmergencyCopies() {
    for (const std::wstring& name : EmergencyCopies()) DeleteFileW((TestProgramFolder() + name).c_str());
    DeleteFileW((TestProgramFolder() + L"recovered.pending").c_str());
}

class EndOfSession : public AppFixture {
protected:
    void SetUp() override {
        RemoveEmergencyCopies();
        AppFixture::SetUp();
    }
    void TearDown() override {
        AppFixture::TearDown();
        RemoveEmergencyCopies();
    }
};

}  // namespace

// The session ends whatever the query was answered (a refusal can be
// overridden) or without a query: text not given up is kept.
TEST_F(EndOfSession, UnsavedTextIsKeptInAnEmergencyCopy) {
    StartApp();
    struct Row {
        const char* how;
        std::wstring text;
        int query;  // the answer to WM_QUERYENDSESSION's prompt; 0: no query
        WPARAM ending;
        bool kept;
    } rows[] = {
        {"no query", L"one\r\ntwo", 0, TRUE, true},
        {"query refused, ended anyway", L"one\r\ntwo", IDCANCEL, TRUE, true},
        {"changes given up", L"one\r\ntwo", IDNO, TRUE, false},
        {"session goes on", L"one\r\ntwo", IDCANCEL, FALSE, false},
        {"nothing unsaved", L"", 0, TRUE, false},
    };
    for (const Row& row : rows) {
        {
            DialogWatcher discard(Answer(IDNO));
            SendCommand(IDM_FILE_NEW);
        }
        if (!row.text.empty()) {
            SetEditorText(row.text);
            ASSERT_TRUE(PumpUntil([] { return IsModified; })) << row.how;
        }
        if (row.query) {
            DialogWatcher watcher(Answer(row.query));
            SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0);
        }
        SendMessageW(MainWindow, WM_ENDSESSION, row.ending, 0);
        std::vector<std::wstring> copies = EmergencyCopies();
        ASSERT_EQ(copies.size(), row.kept ? 1u : 0u) << row.how;
        if (row.kept) {
            EXPECT_EQ(ReadBytes(TestProgramFolder() + copies[0]), "one\r\ntwo") << row.how;
        }
        EXPECT_TRUE(IsWindow(MainWindow)) << row.how;
        RemoveEmergencyCopies();
    }
}

// The next start says where the copy is, opens it on Yes, and says it once.
TEST_F(EndOfSession, NextStartReportsTheCopyOnceAndOpensIt) {
    StartApp();
    SetEditorText(L"kept\r\ntext");
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    SendMessageW(MainWindow, WM_ENDSESSION, TRUE, 0);
    std::vector<std::wstring> copies = EmergencyCopies();
    ASSERT_EQ(copies.size(), 1u);
    StopApp();
    {
        DialogWatcher watcher(Answer(IDYES));
        StartApp();
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_TRUE(IsBox(watcher.Seen()[0],
                          L"Tavilo was closed unexpectedly. Your unsaved text was saved to:\n" +
                              TestProgramFolder() + copies[0] + L"\n\nOpen it now?",
                          L"Warning", "warning", {IDYES, IDNO}));
    }
    EXPECT_EQ(EditorText(), L"kept\r\ntext");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - " + copies[0]);
    EXPECT_FALSE(IsModified);
    StopApp();
    DialogWatcher watcher(Answer(IDNO));
    StartApp();
    EXPECT_TRUE(watcher.Seen().empty()) << "the copy was reported again";
    EXPECT_EQ(EmergencyCopies(), copies);
}
