// Saving through the real commands, the real save dialog and real files:
// what lands on disk, and what a failed save leaves behind.
#include "harness.h"

#include <dlgs.h>
#include <richedit.h>

#include <algorithm>
#include <functional>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

// Loads a file as a dropped file does, so that the document has it as its file.
void OpenAsDocument(const std::wstring& path) {
    ASSERT_TRUE(LoadTextFile(MainWindow, EditControl, path.c_str()));
    SetDocumentPath(path.c_str());
    ClearModified();
}

std::vector<std::wstring> ScratchFiles() { return FilesIn(ScratchPath(L"")); }

std::vector<std::wstring> ComboItems(HWND dialog, int id) {
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Presses a button of a dialog once it takes input again (after a message
// box of its own has closed); the watcher answers each dialog only once.
HWND PendingDialog = nullptr;
int PendingButton = 0;
void CALLBACK PressWhenEnabled(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!IsWindow(PendingDialog)) {
        KillTimer(nullptr, timer);
    } else if (IsWindowEnabled(PendingDialog)) {
        KillTimer(nullptr, timer);
        PressButton(PendingDialog, PendingButton);
    }
}
void PressLater(HWND dialog, int id) {
    PendingDialog = dialog;
    PendingButton = id;
    SetTimer(nullptr, 0, 20, PressWhenEnabled);
}

// Sets or clears the Linux append-only attribute of a folder (files can be
// made in it but not renamed or removed) by running chattr, a Unix
// program that Wine starts as it starts a Windows one; false when that
// fails. Wine gives no process handle to wait on for a Unix program
// (WaitForSingleObject fails at once), so a probe file shows when the
// change has come: it stays when deleted only while the attribute is set.
bool SetAppendOnly(const std::wstring& folder, bool on) {
    std::string unixName = UnixPath(folder);
    if (unixName.empty()) return false;
    std::wstring command = std::wstring(L"chattr ") + (on ? L"+a" : L"-a") + L" \"" + Widen(unixName) + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\usr\\bin\\chattr", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::wstring probe = folder + L"probe";
    return PumpUntil([&] {
        if (!FileExists(probe)) WriteBytes(probe, "");
        DeleteFileW(probe.c_str());
        return FileExists(probe) == on;
    });
}

}  // namespace

using Saver = AppFixture;

// A save over a file, to a new name and into a missing folder: the result,
// the bytes, and no other file left behind.
TEST_F(Saver, WritesTheTextInTheTargetsPlace) {
    StartApp();
    struct Row {
        const char* what;
        std::wstring text, name;
        const char* old;  // the target's bytes before, if it exists
        SaveResult result;
        std::vector<std::wstring> files;  // what the folder holds afterwards
    } rows[] = {
        {"empty over a file", L"", L"was-full.txt", "old content", SaveResult::Saved, {L"was-full.txt"}},
        {"empty to a new name", L"", L"new.txt", nullptr, SaveResult::Saved, {L"new.txt"}},
        {"over a file", L"first line\r\nsecond", L"target.txt", "old", SaveResult::Saved, {L"target.txt"}},
        {"into a missing folder", L"text", L"no\\such\\file.txt", nullptr, SaveResult::Failed, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const std::wstring& name : ScratchFiles()) DeleteFileW(ScratchPath(name).c_str());
        if (row.old) WriteScratch(row.name, row.old);
        SetEditorText(row.text);
        EXPECT_EQ(WriteTextFile(EditControl, ScratchPath(row.name).c_str()), row.result);
        if (row.result == SaveResult::Saved) {
            EXPECT_EQ(ReadBytes(ScratchPath(row.name)), Utf8(row.text));
        }
        EXPECT_EQ(ScratchFiles(), row.files);
    }
}

// Whatever a file was loaded as, Save writes UTF-8 without a mark and CR LF.
TEST_F(Saver, SaveWritesUtf8WithoutMarkAndCrLf) {
    StartApp();
    struct Row {
        const wchar_t* name;
        std::string loaded, saved;
    } rows[] = {
        {L"le.txt", B("\xFF\xFEh\x00\xE9\x00\n\x00x\x00"), "h\xC3\xA9\r\nx"},
        {L"be.txt", B("\xFE\xFF\x00h\x00\xE9\x00\n\x00x"), "h\xC3\xA9\r\nx"},
        {L"bom.txt",
         "\xEF\xBB\xBF"
         "abc\r\n",
         "abc\r\n"},
        {L"lf.txt", "one\ntwo\n\nthree", "one\r\ntwo\r\n\r\nthree"},
        {L"ansi.txt", "caf\xE9", "caf\xC3\xA9"},
        // Units whose bytes spell "{\rtf1" come back as they were.
        {L"rtf-le.txt", B("\xFF\xFE\x7B\x5C\x72\x74\x66\x31\n\x00\x61\x00"),
         "\xE5\xB1\xBB\xE7\x91\xB2\xE3\x85\xA6\r\na"},
        {L"rtf.txt", "{\\rtf1 {\\b x}}\n", "{\\rtf1 {\\b x}}\r\n"},
    };
    for (const Row& row : rows) {
        std::wstring path = WriteScratch(row.name, row.loaded);
        DialogWatcher watcher(Press(IDOK));  // the ANSI row's warning
        OpenAsDocument(path);
        SendCommand(IDM_FILE_SAVE);
        EXPECT_EQ(ReadBytes(path), row.saved) << Narrow(row.name);
        EXPECT_STREQ(DocumentEncoding, L" UTF-8 ") << Narrow(row.name);
        EXPECT_EQ(StatusPartText(4), L" UTF-8 ") << Narrow(row.name);
    }
}

TEST_F(Saver, CharactersOutsideTheBasicPlaneAndLoneSurrogates) {
    StartApp();
    std::wstring path = ScratchPath(L"planes.txt");
    SetEditorText(L"a\U0001F600b");
    ASSERT_EQ(WriteTextFile(EditControl, path.c_str()), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path),
              "a\xF0\x9F\x98\x80"
              "b");

    SetEditorText(
        L"a\xD800"
        L"b");
    if (EditorText() !=
        L"a\xD800"
        L"b")
        GTEST_SKIP() << "the control does not keep a lone surrogate";
    ASSERT_EQ(WriteTextFile(EditControl, path.c_str()), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path),
              "a\xEF\xBF\xBD"
              "b");
}

// ASCII is narrowed in place and the rest converted from the first other
// character on: wherever that character stands, the file is the same.
TEST_F(Saver, NonAsciiAnywhereInALongText) {
    StartApp();
    const size_t length = 5000;
    struct Row {
        const char* name;
        size_t at;
        std::wstring character;
        std::string bytes;
    } rows[] = {
        {"first", 0, L"\u00E9", "\xC3\xA9"},
        {"second", 1, L"\u20AC", "\xE2\x82\xAC"},
        {"middle", length / 2, L"\U0001F600", "\xF0\x9F\x98\x80"},
        {"last", length, L"\u00E9", "\xC3\xA9"},
    };
    std::wstring path = ScratchPath(L"long.txt");
    for (const Row& row : rows) {
        std::wstring text(length, L'a');
        for (size_t i = 80; i < length; i += 81) text[i] = L'\r';
        std::wstring units = text.substr(0, row.at) + row.character + text.substr(row.at);
        SetEditorText(units);
        ASSERT_EQ(WriteTextFile(EditControl, path.c_str()), SaveResult::Saved) << row.name;
        std::string expected =
            EncodeUtf8(text.substr(0, row.at)) + row.bytes + EncodeUtf8(text.substr(row.at));
        size_t lineBreak = 0;
        while ((lineBreak = expected.find('\r', lineBreak)) != std::string::npos) {
            expected.insert(lineBreak + 1, "\n");
            lineBreak += 2;
        }
        EXPECT_EQ(ReadBytes(path), expected) << row.name;
    }
}

// What the editor shows is what is saved: every line break of the file
// (CR LF, LF, a lone CR, and CR CR LF as two) is a line in the editor and
// CR LF on disk; a text that looks like RTF stays text; Shift+Enter makes
// an ordinary line.
TEST_F(Saver, TheLinesShownAreTheLinesSaved) {
    StartApp();
    struct Row {
        const char* name;
        std::string file;
        std::vector<std::string> lines;  // as the editor shows them
        bool shiftEnterAfterA = false;
    } rows[] = {
        {"CR LF", "one\r\ntwo\r\n", {"one", "two", ""}},
        {"LF", "one\ntwo", {"one", "two"}},
        {"lone CR", "one\rtwo\r", {"one", "two", ""}},
        {"CR CR LF", "one\r\r\ntwo\r\n", {"one", "", "two", ""}},
        {"mixed", "a\r\n\nb\r\rc\n\r", {"a", "", "b", "", "c", "", ""}},
        {"RTF signature", "{\\rtf1\\ansi bold}\r\nsecond", {"{\\rtf1\\ansi bold}", "second"}},
        {"Unicode RTF signature", "{\\urtf1 x}", {"{\\urtf1 x}"}},
        {"NUL",
         std::string("a\0b", 3),
         {"a\xEF\xBF\xBD"
          "b"}},
        {"Shift+Enter", "ab cd", {"a", "b cd"}, true},
    };
    for (const Row& row : rows) {
        DialogWatcher boxes([](const DialogInfo& box) { PressButton(box.window, IDOK); });  // the NUL warning
        std::wstring path = WriteScratch(L"round.txt", row.file);
        ASSERT_TRUE(LoadTextFile(MainWindow, EditControl, path.c_str())) << row.name;
        if (row.shiftEnterAfterA) {
            SendMessageW(EditControl, EM_SETSEL, 1, 1);
            PressShiftEnter();
        }
        PumpMessages();
        std::string joined;
        for (size_t i = 0; i < row.lines.size(); ++i) joined += (i ? "\r\n" : "") + row.lines[i];
        EXPECT_EQ(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(row.lines.size()))
            << row.name;
        EXPECT_EQ(Utf8(EditorText()), joined) << row.name;
        std::wstring saved = ScratchPath(L"saved.txt");
        WriteTextFile(EditControl, saved.c_str());
        EXPECT_EQ(ReadBytes(saved), joined) << row.name;
    }
}

// A text whose UTF-8 form is larger than a file that can be opened: the
// save warns first. No writes nothing and keeps the changes; Yes saves.
TEST_F(Saver, OversizeSaveWarnsFirst) {
    StartApp();
    std::wstring line = std::wstring(58, L'\u20AC') + L"\r\n";  // 176 bytes as UTF-8
    std::wstring text;
    for (size_t bytes = 0; bytes <= static_cast<size_t>(FileSizeLimit); bytes += 176) text += line;
    std::wstring path = WriteScratch(L"big.txt", "old");
    OpenAsDocument(path);
    LoadText(text);
    TypeAndSync(L"!");
    for (int answer : {IDNO, IDYES}) {
        DialogWatcher watcher(Press(answer));
        SendCommand(IDM_FILE_SAVE);
        ASSERT_EQ(watcher.Seen().size(), 1u) << answer;
        EXPECT_TRUE(
            IsBox(watcher.Seen()[0],
                  L"The saved file will be larger than 10MB: Tavilo will not be able to open it again.\n"
                  L"Save it anyway?",
                  L"Warning", "warning", {IDYES, IDNO}));
        EXPECT_EQ(IsModified, answer == IDNO) << answer;
        std::string saved = ReadBytes(path);
        EXPECT_EQ(saved == "old", answer == IDNO) << answer;
        if (answer == IDYES) {
            EXPECT_TRUE(saved == Utf8(L"!" + text)) << "saved " << saved.size() << " bytes";
        }
    }
}

TEST_F(Saver, SaveAsAddsTxtToANameWithoutExtension) {
    StartApp();
    TypeAndSync(L"draft");
    std::vector<std::wstring> types;
    DialogWatcher watcher([&](const DialogInfo& info) {
        types = ComboItems(info.window, cmb1);
        EnterFileName(info.window, ScratchPath(L"draft"));
    });
    SendCommand(IDM_FILE_SAVE_AS);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, L"Save As");
    EXPECT_EQ(watcher.Seen()[0].owner, MainWindow);
    EXPECT_EQ(types, (std::vector<std::wstring>{L"Text Files (*.txt)", L"All Files (*.*)"}));
    EXPECT_EQ(ReadBytes(ScratchPath(L"draft.txt")), "draft");
    EXPECT_EQ(DocumentPath, ScratchPath(L"draft.txt"));
    EXPECT_EQ(DocumentName, L"draft.txt");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - draft.txt");
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), 0);
}

TEST_F(Saver, SaveAsAsksBeforeOverwriting) {
    StartApp();
    std::wstring path = WriteScratch(L"old.txt", "old");
    TypeAndSync(L"new");
    DialogWatcher watcher([&](const DialogInfo& info) {
        if (info.HasButton(IDYES)) {
            PressButton(info.window, IDYES);
        } else {
            EnterFileName(info.window, path);
        }
    });
    SendCommand(IDM_FILE_SAVE_AS);
    ASSERT_EQ(watcher.Seen().size(), 2u);
    const DialogInfo& box = watcher.Seen()[1];
    // Wine's box says "File already exists." without naming the file.
    EXPECT_NE(box.text.find(L"already exists"), std::wstring::npos) << Narrow(box.text);
    EXPECT_TRUE(box.HasButton(IDYES) && box.HasButton(IDNO));
    EXPECT_EQ(box.owner, watcher.Seen()[0].window);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - old.txt");
}

// Declining the overwrite returns to the dialog; cancelling it then gives
// Cancelled, silently, with nothing written or changed.
TEST_F(Saver, DecliningTheOverwriteThenCancelling) {
    StartApp();
    std::wstring path = WriteScratch(L"keep.txt", "keep");
    TypeAndSync(L"other");
    DialogWatcher watcher([&](const DialogInfo& info) {
        if (info.HasButton(IDNO)) {
            PressButton(info.window, IDNO);
            PressLater(info.owner, IDCANCEL);
        } else {
            EnterFileName(info.window, path);
        }
    });
    EXPECT_EQ(SaveDocumentAs(MainWindow, EditControl), SaveResult::Cancelled);
    EXPECT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(ReadBytes(path), "keep");
    EXPECT_TRUE(DocumentPath.empty());
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
}

TEST_F(Saver, CancelledSaveAsChangesNothing) {
    StartApp();
    TypeAndSync(L"text");
    DialogWatcher watcher(Press(IDCANCEL));
    SendCommand(IDM_FILE_SAVE_AS);
    EXPECT_EQ(watcher.Seen().size(), 1u);  // the dialog, and no failure box
    EXPECT_TRUE(IsModified);
    EXPECT_TRUE(DocumentPath.empty());
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
    EXPECT_EQ(ScratchFiles().size(), 0u);
}

TEST_F(Saver, SaveOfADocumentWithAFileShowsNoDialog) {
    StartApp();
    std::wstring path = WriteScratch(L"mine.txt", "mine");
    OpenAsDocument(path);
    TypeAndSync(L"!");
    DialogWatcher watcher(Press(IDCANCEL));
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_EQ(ReadBytes(path), "!mine");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - mine.txt");
    EXPECT_FALSE(IsModified);
}

TEST_F(Saver, SaveOfANewDocumentOpensTheDialog) {
    StartApp();
    TypeAndSync(L"fresh");
    DialogWatcher watcher(
        [&](const DialogInfo& info) { EnterFileName(info.window, ScratchPath(L"fresh.txt")); });
    SendCommand(IDM_FILE_SAVE);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(ReadBytes(ScratchPath(L"fresh.txt")), "fresh");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - fresh.txt");
}

// A save that cannot replace the file reports it and changes no state.
static void SaveAndExpectFailure(const std::wstring& path) {
    DialogWatcher watcher(Press(IDOK));
    SendCommand(IDM_FILE_SAVE);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsBox(watcher.Seen()[0], L"Failed to save file.", L"Error", "error"));
    EXPECT_TRUE(IsModified);
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - target.txt *(unsaved)");
    EXPECT_STREQ(DocumentEncoding, L" UTF-16LE ");
    EXPECT_EQ(DocumentPath, path);
}

// The old bytes are intact and no temporary file is left.
static void ExpectOldFileAlone(const std::wstring& path, const std::string& old) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(ScratchFiles(), std::vector<std::wstring>{L"target.txt"});
}

// A control that copies fewer characters than it counted (the copy fails
// part way): the save must not put the cut-off text in the file's place.
static LRESULT CALLBACK CopyTwoCharacters(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR) {
    if (message != EM_GETTEXTEX) return DefSubclassProc(window, message, wParam, lParam);
    GETTEXTEX cut = *reinterpret_cast<GETTEXTEX*>(wParam);
    cut.cb = std::min<DWORD>(cut.cb, 3 * sizeof(wchar_t));
    return DefSubclassProc(window, message, reinterpret_cast<WPARAM>(&cut), lParam);
}

// Each fault is made after the edit and undone after the save. Tests run
// as root, and Wine lets root write a read-only file: the attribute is what
// must stop that save.
TEST_F(Saver, AFailedSaveLeavesTheOldFile) {
    StartApp();
    struct Row {
        const char* fault;
        std::function<std::function<void()>(const std::wstring& path)> make;
    } rows[] = {
        {"target held open without sharing",
         [](const std::wstring& path) {
             HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(holder, INVALID_HANDLE_VALUE);
             return std::function<void()>([holder] { CloseHandle(holder); });
         }},
        {"read-only target",
         [](const std::wstring& path) {
             EXPECT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
             return std::function<void()>([] {});
         }},
        {"text copy cut short",
         [](const std::wstring&) {
             EXPECT_TRUE(SetWindowSubclass(EditControl, CopyTwoCharacters, 1, 0));
             return std::function<void()>([] { RemoveWindowSubclass(EditControl, CopyTwoCharacters, 1); });
         }},
    };
    const std::string old =
        B("\xFF\xFEo\x00l\x00"
          "d\x00");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        std::wstring path = WriteScratch(L"target.txt", old);
        OpenAsDocument(path);
        TypeAndSync(L"new ");
        std::function<void()> undo = row.make(path);
        SaveAndExpectFailure(path);
        undo();
        ExpectOldFileAlone(path, old);
    }
}

TEST_F(Saver, SaveAsOntoAReadOnlyFileFails) {
    StartApp();
    std::wstring path = WriteScratch(L"locked.txt", "locked");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    TypeAndSync(L"text");
    DialogWatcher watcher([&](const DialogInfo& info) {
        if (info.HasButton(IDYES)) {
            PressButton(info.window, IDYES);
        } else if (info.text == L"Failed to save file.") {
            PressButton(info.window, IDOK);
        } else {
            EnterFileName(info.window, path);
        }
    });
    SendCommand(IDM_FILE_SAVE_AS);
    ASSERT_FALSE(watcher.Seen().empty());
    EXPECT_TRUE(IsBox(watcher.Seen().back(), L"Failed to save file.", L"Error", "error"));
    EXPECT_TRUE(DocumentPath.empty());
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document *(unsaved)");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), "locked");
    EXPECT_EQ(ScratchFiles(), std::vector<std::wstring>{L"locked.txt"});
}

// A folder that lets files be made but not renamed or removed: the save
// fails, the old file keeps its bytes, and the message says where the
// temporary file that could not be removed is.
TEST_F(Saver, AppendOnlyFolder) {
    StartApp();
    std::wstring folder = ScratchPath(L"append-only\\");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::string old =
        B("\xFF\xFEo\x00l\x00"
          "d\x00");
    std::wstring path = folder + L"target.txt";
    WriteBytes(path, old);
    OpenAsDocument(path);
    TypeAndSync(L"new ");
    struct Cleared {
        std::wstring folder;
        ~Cleared() { SetAppendOnly(folder, false); }
    } cleared{folder};
    if (!SetAppendOnly(folder, true)) GTEST_SKIP() << "chattr +a could not be run or keeps no files here";

    DialogWatcher watcher(Press(IDOK));
    SendCommand(IDM_FILE_SAVE);
    std::vector<std::wstring> left;
    for (const std::wstring& name : FilesIn(folder)) {
        if (name != L"probe" && name != L"target.txt") left.push_back(name);
    }
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].substr(0, 3), L"tav");
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsBox(watcher.Seen()[0],
                      L"Failed to save file.\n\nA temporary file could not be removed:\n" + folder + left[0],
                      L"Error", "error"));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_TRUE(IsModified);
}

// A path of 300 characters opens, and saves.
TEST_F(Saver, LongPathSaves) {
    StartApp();
    std::wstring folder = ScratchPath(L"");
    while (folder.size() < 240) {
        folder += std::wstring(50, L'd') + L"\\";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
    }
    std::wstring path = folder + std::wstring(300 - folder.size() - 4, L'n') + L".txt";
    ASSERT_EQ(path.size(), 300u);
    WriteBytes(L"\\\\?\\" + path, "old");
    OpenAsDocument(path);
    TypeAndSync(L"new ");
    DialogWatcher watcher(Press(IDOK));
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_FALSE(IsModified);
    EXPECT_EQ(ReadBytes(L"\\\\?\\" + path), "new old");
    EXPECT_EQ(FilesIn(L"\\\\?\\" + folder), std::vector<std::wstring>{path.substr(folder.size())});
}
