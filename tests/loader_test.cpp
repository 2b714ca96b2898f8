// Loading real files into the real editor: encodings, warnings, the
// pre-load checks of every caller, large files and the control's state.
#include "harness.h"

#include <commctrl.h>
#include <richedit.h>

#include "app/app.h"
#include "dialog_watcher.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

const wchar_t AnsiWarning[] =
    L"The file encoding is not UTF-8 or UTF-16.\n"
    L"The editor used an ANSI fallback. Some characters may be incorrect.";
const wchar_t NullWarning[] =
    L"The file contains null characters.\n"
    L"They are shown as replacement characters.";

bool Load(const std::wstring& path) { return LoadTextFile(MainWindow, EditControl, path.c_str()); }

// Lines of 62 letters and a line end, cut to exactly `size` bytes.
std::string Lines(size_t size, const std::string& lineEnd) {
    std::string line = std::string(62, 'q') + lineEnd;
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size) text += line;
    text.resize(size);
    return text;
}

int TextLength() { return GetWindowTextLengthW(EditControl); }

// Puts the caret after the last character (positions count a line end once).
void CaretToEnd() {
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT end = SendMessageW(EditControl, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    SendMessageW(EditControl, EM_SETSEL, end, end);
}

void SetStatusEncodingPart(const wchar_t* text) {
    SendMessageW(StatusBar, SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(text));
}

// Records what reaches a window, for the message-order checks.
struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> EditorMessages;
int ChangeNotifications = 0;

LRESULT CALLBACK RecordEditor(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_SETREDRAW:
    case EM_SETEVENTMASK:
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT:
    case EM_SETUNDOLIMIT:
    case EM_EMPTYUNDOBUFFER: EditorMessages.push_back({message, wParam, lParam}); break;
    case WM_SETTEXT: EditorMessages.push_back({message, wParam, 0}); break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CountChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) ++ChangeNotifications;
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == EN_SELCHANGE) ++ChangeNotifications;
    return DefSubclassProc(window, message, wParam, lParam);
}

// Resizes of the editor while it holds a large text: each one makes Wine's
// control lay the whole text out again.
int LargeTextResizes = 0;

LRESULT CALLBACK CountLargeTextResizes(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR) {
    bool large = message == WM_SETTEXT && lstrlenW(reinterpret_cast<const wchar_t*>(lParam)) > 32768;
    static bool inLargeSetText = false;
    if (large) inLargeSetText = true;
    if (message == WM_SIZE && (inLargeSetText || GetWindowTextLengthW(window) > 32768)) ++LargeTextResizes;
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (large) inLargeSetText = false;
    return result;
}

}  // namespace

using Loader = AppFixture;

// Every encoding case through a real file; the status bar's encoding part
// follows each non-empty load, and warnings come after the text is shown.
TEST_F(Loader, EncodingsOfRealFiles) {
    StartApp();
    struct Row {
        const wchar_t* name;
        std::string bytes;
        std::wstring text;
        const wchar_t* label;
        std::wstring warning;  // empty: no box
    } rows[] = {
        {L"bom8.txt", "\xEF\xBB\xBFhello", L"hello", L" UTF-8 ", L""},
        {L"le.txt", B("\xFF\xFE\x68\x00\xE9\x00"), L"h\u00E9", L" UTF-16LE ", L""},
        {L"bom-only.txt", "\xEF\xBB\xBF", L"", L" UTF-8 ", L""},
        {L"fffe.txt", "\xFF\xFE", L"", L" UTF-16LE ", L""},
        {L"feff.txt", "\xFE\xFF", L"", L" UTF-16BE ", L""},
        {L"odd.txt", B("\xFF\xFE\x41\x00\x42"), L"A", L" UTF-16LE ", L""},
        {L"be.txt", B("\xFE\xFF\x00h\x00\xE9\xD8\x3D\xDE\x00"), L"h\u00E9\U0001F600", L" UTF-16BE ", L""},
        {L"le2.txt", B("\xFF\xFEh\x00\xE9\x00\x3D\xD8\x00\xDE"), L"h\u00E9\U0001F600", L" UTF-16LE ", L""},
        {L"ff.txt", "\xFF\x41", L"\u00FFA", L" UTF-8 ", AnsiWarning},
        {L"efbb.txt", "\xEF\xBB\x41", L"\u00EF\u00BBA", L" UTF-8 ", AnsiWarning},
        {L"e9.txt", "\xE9", L"\u00E9", L" UTF-8 ", AnsiWarning},
        {L"bad-after-bom.txt",
         "\xEF\xBB\xBF"
         "a\xC3"
         "b",
         L"a\uFFFDb", L" UTF-8 ", L""},
        {L"lf.txt", "one\ntwo\n", L"one\r\ntwo\r\n", L" UTF-8 ", L""},
        {L"crlf.txt", "one\r\ntwo\r\n", L"one\r\ntwo\r\n", L" UTF-8 ", L""},
        {L"nulls.txt", B("ab\0cd\0"), L"ab\uFFFDcd\uFFFD", L" UTF-8 ", NullWarning},
        {L"le-nomark.txt", B("\x41\x00\x42\x00"), L"A\uFFFDB\uFFFD", L" UTF-8 ", NullWarning},
        {L"ansi-nul.txt", B("\xE9\x00z"), L"\u00E9\uFFFDz", L" UTF-8 ",
         std::wstring(AnsiWarning) + L"\n\n" + NullWarning},
        // After a mark a sequence cut short is one U+FFFD, and what follows stays.
        {L"cut4.txt", "\xEF\xBB\xBF\xF0\x9F\x41", L"\uFFFDA", L" UTF-8 ", L""},
        {L"cut3.txt", "\xEF\xBB\xBF\x61\xE2\x0A", L"a\uFFFD\r\n", L" UTF-8 ", L""},
        {L"cut-crlf.txt", "\xEF\xBB\xBF\x61\xF0\x0D\x0A", L"a\uFFFD\r\n", L" UTF-8 ", L""},
        // Overlong forms, surrogates and values past U+10FFFF: a U+FFFD a byte.
        {L"overlong.txt", "\xEF\xBB\xBF\xC0\x80\xE0\x80\xAFz", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz", L" UTF-8 ",
         L""},
        {L"surrogate.txt", "\xEF\xBB\xBF\xED\xA0\x80z", L"\uFFFD\uFFFD\uFFFDz", L" UTF-8 ", L""},
        {L"past-max.txt", "\xEF\xBB\xBF\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD", L" UTF-8 ", L""},
        // RTF signatures, as characters and as the bytes of UTF-16 units.
        {L"rtf-ansi.txt", "{\\rtf1 caf\xE9}", L"{\\rtf1 caf\u00E9}", L" UTF-8 ", AnsiWarning},
        {L"rtf-utf8.txt", "\xEF\xBB\xBF{\\urtf1 x}\r\n", L"{\\urtf1 x}\r\n", L" UTF-8 ", L""},
        {L"rtf-units-utf8.txt", "\xE5\xB1\xBB\xE7\x91\xB2\xE3\x85\xA6 a", L"\u5C7B\u7472\u3166 a", L" UTF-8 ",
         L""},
        {L"rtf-le.txt", B("\xFF\xFE\x7B\x5C\x72\x74\x66\x31\x20\x00\x61\x00"), L"\u5C7B\u7472\u3166 a",
         L" UTF-16LE ", L""},
        {L"brace-rtf-le.txt", B("\xFF\xFE\x7B\x00\x7B\x5C\x72\x74\x66\x31"), L"{\u5C7B\u7472\u3166",
         L" UTF-16LE ", L""},
        {L"urtf-be.txt", B("\xFE\xFF\x5C\x7B\x72\x75\x66\x74\x00 \x00z"), L"\u5C7B\u7275\u6674 z",
         L" UTF-16BE ", L""},
        // CR CR LF is two line breaks: a blank line between.
        {L"crcrlf.txt", "a\r\r\nb", L"a\r\n\r\nb", L" UTF-8 ", L""},
    };
    // Start from a label the first row must change.
    lstrcpyW(DocumentEncoding, L" UTF-16LE ");
    for (const Row& row : rows) {
        std::wstring path = WriteScratch(row.name, row.bytes);
        SetStatusEncodingPart(L"?");
        std::wstring textWhenWarned;
        DialogWatcher watcher([&](const DialogInfo& info) {
            textWhenWarned = EditorText();
            PressButton(info.window, IDOK);
        });
        ASSERT_TRUE(Load(path)) << Narrow(row.name);
        PumpMessages();
        EXPECT_EQ(EditorText(), row.text) << Narrow(row.name);
        EXPECT_STREQ(DocumentEncoding, row.label) << Narrow(row.name);
        EXPECT_EQ(StatusPartText(4), row.label) << Narrow(row.name);
        if (row.warning.empty()) {
            EXPECT_TRUE(watcher.Seen().empty()) << Narrow(row.name);
            continue;
        }
        ASSERT_EQ(watcher.Seen().size(), 1u) << Narrow(row.name);
        EXPECT_TRUE(IsBox(watcher.Seen()[0], row.warning, L"Encoding Warning", "warning", {IDOK}))
            << Narrow(row.name);
        EXPECT_EQ(textWhenWarned, row.text) << Narrow(row.name) << ": the text was not in place yet";
    }
}

TEST_F(Loader, BigEndianShowsWhatLittleEndianShows) {
    StartApp();
    std::wstring text = L"Gr\u00FC\u00DFe, \u4E16\u754C \U0001F600\r\nline two";
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (wchar_t c : text) {
        little += static_cast<char>(c & 0xFF);
        little += static_cast<char>(c >> 8);
        big += static_cast<char>(c >> 8);
        big += static_cast<char>(c & 0xFF);
    }
    ASSERT_TRUE(Load(WriteScratch(L"little.txt", little)));
    std::wstring shownLittle = EditorText();
    ASSERT_TRUE(Load(WriteScratch(L"big.txt", big)));
    EXPECT_EQ(EditorText(), shownLittle);
    EXPECT_EQ(EditorText(), text);
}

// An empty file empties the editor but leaves label and status bar alone.
// The label stays; the length and position parts show the empty text.
TEST_F(Loader, EmptyFileKeepsTheLabel) {
    StartApp();
    ASSERT_TRUE(Load(WriteScratch(L"be.txt", B("\xFE\xFF\x00x\x00y"))));
    SendMessageW(EditControl, EM_SETSEL, 2, 2);
    PumpMessages();
    EXPECT_EQ(StatusPartText(4), L" UTF-16BE ");
    ASSERT_TRUE(Load(WriteScratch(L"empty.txt", "")));
    EXPECT_EQ(EditorText(), L"");
    EXPECT_STREQ(DocumentEncoding, L" UTF-16BE ");
    EXPECT_EQ(StatusPartText(4), L" UTF-16BE ");
    EXPECT_EQ(StatusPartText(3), L" 0 chars (~ 0 bytes) ");
    EXPECT_EQ(StatusPartText(0), L" Line 1  Col 1  Sel 0 ");
    EXPECT_FALSE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));
}

// The replacement runs with redraw, notifications and undo off, in this
// order, and puts the creation-time limit and event mask back.
TEST_F(Loader, ReplacesTheTextQuietly) {
    StartApp();
    std::wstring path = WriteScratch(L"quiet.txt", "quiet text\r\n");
    SetWindowSubclass(EditControl, RecordEditor, 77, 0);
    SetWindowSubclass(MainWindow, CountChanges, 78, 0);
    ASSERT_TRUE(Load(path));
    PumpMessages();
    RemoveWindowSubclass(EditControl, RecordEditor, 77);
    RemoveWindowSubclass(MainWindow, CountChanges, 78);

    const std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>> expected = {
        {WM_SETREDRAW, {FALSE, 0}},
        {EM_SETEVENTMASK, {0, 0}},
        {EM_EXLIMITTEXT, {0, 0xA00000}},
        {EM_SETUNDOLIMIT, {0, 0}},
        {WM_SETTEXT, {0, 0}},
        {EM_EMPTYUNDOBUFFER, {0, 0}},
        {EM_SETUNDOLIMIT, {100, 0}},
        {EM_SETEVENTMASK, {0, 0x000B0001}},
        {WM_SETREDRAW, {TRUE, 0}},
    };
    ASSERT_EQ(EditorMessages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(EditorMessages[i].message, expected[i].first) << "message " << i;
        EXPECT_EQ(EditorMessages[i].wParam, expected[i].second.first) << "message " << i;
        EXPECT_EQ(EditorMessages[i].lParam, expected[i].second.second) << "message " << i;
    }
    EXPECT_EQ(ChangeNotifications, 0);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETEVENTMASK, 0, 0), 0x000B0001);
    EXPECT_EQ(SendMessageW(EditControl, EM_GETLIMITTEXT, 0, 0), 0xA00000);
    EXPECT_TRUE(IsWindowVisible(EditControl));
}

// A large text finds the scroll bars it needs already shown, so the control
// is never resized while it holds the text; the bars and the text are what
// the control makes of the file.
TEST_F(Loader, ALargeTextFindsItsScrollBarsInPlace) {
    StartApp();
    // Only a control that walks its paragraphs, as Wine's does, lays all its text out again on a resize.
    bool underWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    ASSERT_TRUE(ControlWalksItsParagraphs() || !underWine)
        << "the start-up measurement missed Wine's control";
    if (!ControlWalksItsParagraphs())
        GTEST_SKIP() << "the control keeps an array of its lines: no stand-in text";
    std::string shortLines, oneLongLine;
    for (int i = 0; i < 3000; ++i) shortLines += "line " + std::to_string(i) + " of a large file\r\n";
    oneLongLine = shortLines + std::string(3000, 'w') + "\r\n" + shortLines;
    struct Row {
        const char* name;
        const std::string& text;
        bool wrap, vertical, horizontal;
    } rows[] = {
        {"short lines", shortLines, false, true, false},
        {"a long line", oneLongLine, false, true, true},
        {"short lines, wrapped", shortLines, true, true, false},
        {"a long line, wrapped", oneLongLine, true, true, false},
    };
    for (const Row& row : rows) {
        if (Autowrap != row.wrap) SendCommand(IDM_OPTIONS_AUTOWRAP);
        ClearModified();
        SendCommand(IDM_FILE_NEW);
        std::wstring path = WriteScratch(L"large.txt", row.text);
        LargeTextResizes = 0;
        SetWindowSubclass(EditControl, CountLargeTextResizes, 79, 0);
        ASSERT_TRUE(Load(path)) << row.name;
        PumpMessages();
        RemoveWindowSubclass(EditControl, CountLargeTextResizes, 79);
        EXPECT_EQ(LargeTextResizes, 0) << row.name;
        EXPECT_EQ(EditorText(), Widen(row.text)) << row.name;
        LONG style = GetWindowLongW(EditControl, GWL_STYLE);
        EXPECT_EQ((style & WS_VSCROLL) != 0, row.vertical) << row.name;
        EXPECT_EQ((style & WS_HSCROLL) != 0, row.horizontal) << row.name;
    }
}

// What the window shows while a large text goes into a fresh editor.
struct WhileTheTextGoesIn {
    bool seen = false;
    bool waitCursor = false;
    std::wstring position, size;
};
WhileTheTextGoesIn During;

LRESULT CALLBACK WatchLargeSetText(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->hwnd == EditControl && !During.seen &&
        wcslen(reinterpret_cast<const wchar_t*>(call->lParam)) > 100000) {
        During.seen = true;
        During.waitCursor = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
        During.position = StatusPartText(0);
        During.size = StatusPartText(3);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The load of a large file replacing a large text takes seconds: the wait
// cursor shows, and the status bar tells of the empty editor on the screen,
// not of the old text.
TEST_F(Loader, ALargeLoadShowsTheWaitCursorAndTheEmptyEditor) {
    StartApp();
    ASSERT_TRUE(Load(WriteScratch(L"old.txt", Lines(200000, "\r\n"))));
    PumpMessages();
    SendMessageW(EditControl, EM_SETSEL, 100, 100);
    PumpMessages();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchLargeSetText, nullptr, GetCurrentThreadId());
    bool loaded = Load(WriteScratch(L"new.txt", Lines(300000, "\r\n")));
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(During.seen);
    EXPECT_TRUE(During.waitCursor);
    EXPECT_EQ(During.position, L" Line 1  Col 1  Sel 0 ");
    EXPECT_EQ(During.size, L" 0 chars (~ 0 bytes) ");
}

TEST_F(Loader, NothingToUndoAfterALoad) {
    StartApp();
    Type(L"typed before");
    ASSERT_TRUE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));
    ASSERT_TRUE(Load(WriteScratch(L"loaded.txt", "loaded")));
    EXPECT_FALSE(SendMessageW(EditControl, EM_CANUNDO, 0, 0));
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"loaded");
    // New edits can be undone again.
    CaretToEnd();
    Type(L"!");
    SendCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"loaded");
}

// After a 1 MB load typing still works: the limit is the creation-time
// 10,485,760 characters, not the 64K that EM_LIMITTEXT 0 would give.
TEST_F(Loader, TypingAtTheEndOfAOneMegabyteFile) {
    StartApp();
    for (const char* lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd[0] == '\n' ? "LF" : "CR LF");
        ASSERT_TRUE(Load(WriteScratch(L"big.txt", Lines(1 << 20, lineEnd))));
        EXPECT_EQ(SendMessageW(EditControl, EM_GETLIMITTEXT, 0, 0), 0xA00000);
        int before = TextLength();
        CaretToEnd();
        Type(std::wstring(200, L'z'));
        EXPECT_EQ(TextLength(), before + 200);
        std::wstring text = EditorText();
        EXPECT_EQ(text.substr(text.size() - 200), std::wstring(200, L'z'));
    }
}

// A CR LF pair split across a 4,096-byte boundary stays one line break.
TEST_F(Loader, LineBreaksAcrossFourKilobyteBoundaries) {
    StartApp();
    std::string bytes = std::string(4095, 'a') + "\r\n";                       // CR at 4095, LF at 4096
    for (int i = 0; i < 4; ++i) bytes += std::string(4094, 'b' + i) + "\r\n";  // CR at 8191, ...
    bytes += "end";
    ASSERT_TRUE(Load(WriteScratch(L"boundary.txt", bytes)));
    EXPECT_EQ(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0), 6);
    EXPECT_TRUE(EditorText() == Widen(bytes)) << "the loaded text differs from the file";
}

TEST_F(Loader, TheLargestFileLoads) {
    StartApp();
    std::string bytes = Lines(10485760, "\r\n");
    std::wstring path = WriteScratch(L"max.txt", bytes);
    DialogWatcher watcher(Press(IDOK));
    EXPECT_TRUE(PassesPreloadChecks(MainWindow, path.c_str(), LoadCaller::OpenCommand));
    EXPECT_TRUE(watcher.Seen().empty());
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(TextLength(), 10485760);
    std::wstring text = EditorText();
    EXPECT_EQ(text.substr(text.size() - 10), Widen(bytes.substr(bytes.size() - 10)));
}

// One byte over the limit, or a missing file: each caller's own message,
// and nothing changes.
TEST_F(Loader, PreloadChecksRefuseForEveryCaller) {
    StartApp();
    std::wstring over = WriteScratch(L"over.txt", Lines(10485761, "\r\n"));
    std::wstring missing = ScratchPath(L"missing.txt");
    const wchar_t tooLarge[] = L"File is too large to open. Choose a file smaller than 10MB";
    SetEditorText(L"kept");
    struct Row {
        const char* what;
        const std::wstring& path;
        LoadCaller caller;
        HWND owner;
        std::wstring text;
        const wchar_t* caption;
        const char* icon;
    } rows[] = {
        {"Open, too large", over, LoadCaller::OpenCommand, MainWindow, tooLarge + std::wstring(L"."),
         L"Error", "warning"},
        {"drop, too large", over, LoadCaller::DroppedFile, EditControl, tooLarge, L"Warning", "warning"},
        {"command line, too large", over, LoadCaller::CommandLine, MainWindow, tooLarge, L"Warning",
         "warning"},
        {"Open, missing", missing, LoadCaller::OpenCommand, MainWindow, L"Failed to get file info.", L"Error",
         "error"},
        {"drop, missing", missing, LoadCaller::DroppedFile, MainWindow, L"Failed to get file info.", L"Error",
         "error"},
        {"command line, missing", missing, LoadCaller::CommandLine, MainWindow, L"Failed to get file info.",
         L"Error", "error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DialogWatcher watcher(Press(IDOK));
        EXPECT_FALSE(PassesPreloadChecks(row.owner, row.path.c_str(), row.caller));
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_TRUE(IsBox(watcher.Seen()[0], row.text, row.caption, row.icon));
        EXPECT_EQ(EditorText(), L"kept");
    }
}

// A file held open without sharing cannot be read: reported, nothing changes.
TEST_F(Loader, UnreadableFileIsReported) {
    StartApp();
    ASSERT_TRUE(Load(WriteScratch(L"before.txt", B("\xFF\xFEk\x00"))));
    std::wstring path = WriteScratch(L"locked.txt", "locked");
    HANDLE holder =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DialogWatcher watcher(Press(IDOK));
    EXPECT_FALSE(Load(path));
    PumpMessages();
    CloseHandle(holder);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsBox(watcher.Seen()[0], L"Failed to open file.", L"Error", "error"));
    EXPECT_EQ(EditorText(), L"k");
    EXPECT_STREQ(DocumentEncoding, L" UTF-16LE ");
}

// The command line names a missing file: its message, then an empty
// "New Document".
TEST_F(Loader, CommandLineFileThatIsMissing) {
    DialogWatcher watcher(Press(IDOK));
    StartApp(L"\"" + TaviloExePath() + L"\" \"" + ScratchPath(L"nowhere.txt") + L"\"");
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(IsBox(watcher.Seen()[0], L"Failed to get file info.", L"Error", "error"));
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - New Document");
    EXPECT_EQ(EditorText(), L"");
}

TEST_F(Loader, CommandLineFileLoads) {
    std::wstring path = WriteScratch(L"first.txt",
                                     "\xEF\xBB\xBF"
                                     "first");
    WriteScratch(L"second.txt", "second");
    StartApp(L"\"" + TaviloExePath() + L"\" \"" + path + L"\" \"" + ScratchPath(L"second.txt") + L"\"");
    EXPECT_EQ(EditorText(), L"first");
    EXPECT_EQ(WindowText(MainWindow), L"Tavilo - first.txt");
    EXPECT_EQ(DocumentPath, path);
    EXPECT_FALSE(IsModified);
    PumpMessages();
    EXPECT_FALSE(PumpUntil([] { return IsModified; }, 100));
}
