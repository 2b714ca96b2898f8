// Where the time of a keystroke, a load, a Replace All or a save goes: the
// editor runs in-process on a 10 MB document, and every message that
// reaches the editor, the main window, the gutter and the status bar is
// counted and timed (time spent in the message itself, without the
// messages it sends on). Prints, per action, its time and the messages
// that took most of it. "hotpath_bench.exe [wrap] [long|log]" for word
// wrap on, and for a document of ten long lines or of log-like lines; with
// HOTPATH_TIMELINE set in the environment each action also lists its
// messages in the order they ran, three levels deep, with their start.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "search/search.h"
#include "view/view.h"

struct MessageCost {
    int count = 0;
    double ms = 0;
};

static std::map<std::pair<const char*, UINT>, MessageCost> Costs;
static std::vector<double> ChildTime;  // per nesting level: time of the messages sent from inside

static bool KeepTimeline = false;
static double ActionStart = 0;
static std::vector<std::string> Timeline;  // printed after the action, so that printing costs it nothing
static const char* MessageName(UINT message);

static void AddToTimeline(int depth, double start, const char* label, UINT message, double total) {
    if (!KeepTimeline || depth > 2) return;
    char line[160];
    snprintf(line, sizeof(line), "%*s%8.2f  %-7s %-24s %7.2f ms", 4 + 4 * depth, "", start - ActionStart,
             label, MessageName(message), total);
    Timeline.push_back(line);
}

// The windows watched, each with the procedure it had before. They are
// subclassed by their window procedure: comctl32's subclass chain would add
// about 0.1 ms to every message under Wine.
struct Watched {
    WNDPROC previous;
    const char* label;
};
static std::map<HWND, Watched> WatchedWindows;

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Watched watched = WatchedWindows.at(window);
    const char* label = watched.label;
    ChildTime.push_back(0);
    double start = NowMs();
    LRESULT result = CallWindowProcW(watched.previous, window, message, wParam, lParam);
    double total = NowMs() - start;
    double own = total - ChildTime.back();
    ChildTime.pop_back();
    if (!ChildTime.empty()) ChildTime.back() += total;
    AddToTimeline(static_cast<int>(ChildTime.size()), start, label, message, total);
    MessageCost& cost = Costs[{label, message}];
    cost.count++;
    cost.ms += own;
    return result;
}

static void Watch(HWND window, const char* label) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == CountingProc) return;
    WatchedWindows[window] = {nullptr, label};
    WatchedWindows[window].previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
}

static const char* MessageName(UINT message) {
    static const std::pair<UINT, const char*> names[] = {
        {EM_LINEINDEX, "EM_LINEINDEX"},
        {EM_LINEFROMCHAR, "EM_LINEFROMCHAR"},
        {EM_EXLINEFROMCHAR, "EM_EXLINEFROMCHAR"},
        {EM_POSFROMCHAR, "EM_POSFROMCHAR"},
        {EM_CHARFROMPOS, "EM_CHARFROMPOS"},
        {EM_GETLINECOUNT, "EM_GETLINECOUNT"},
        {EM_LINELENGTH, "EM_LINELENGTH"},
        {EM_GETFIRSTVISIBLELINE, "EM_GETFIRSTVISIBLELINE"},
        {EM_EXGETSEL, "EM_EXGETSEL"},
        {EM_EXSETSEL, "EM_EXSETSEL"},
        {EM_FINDTEXTEXW, "EM_FINDTEXTEXW"},
        {EM_REPLACESEL, "EM_REPLACESEL"},
        {EM_GETTEXTLENGTHEX, "EM_GETTEXTLENGTHEX"},
        {EM_GETMODIFY, "EM_GETMODIFY"},
        {EM_SETCHARFORMAT, "EM_SETCHARFORMAT"},
        {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_SETREDRAW, "WM_SETREDRAW"},
        {WM_SETFONT, "WM_SETFONT"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {EM_SETZOOM, "EM_SETZOOM"},
        {EM_SETRECT, "EM_SETRECT"},
        {EM_SETRECTNP, "EM_SETRECTNP"},
        {EM_SETTARGETDEVICE, "EM_SETTARGETDEVICE"},
        {EM_SETSEL, "EM_SETSEL"},
        {EM_SCROLLCARET, "EM_SCROLLCARET"},
        {EM_SETSCROLLPOS, "EM_SETSCROLLPOS"},
        {EM_SETEVENTMASK, "EM_SETEVENTMASK"},
        {EM_SETUNDOLIMIT, "EM_SETUNDOLIMIT"},
        {EM_EMPTYUNDOBUFFER, "EM_EMPTYUNDOBUFFER"},
        {EM_STREAMIN, "EM_STREAMIN"},
        {WM_PAINT, "WM_PAINT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_CHAR, "WM_CHAR"},
        {WM_VSCROLL, "WM_VSCROLL"},
        {WM_NOTIFY, "WM_NOTIFY"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_SIZE, "WM_SIZE"},
        {SB_SETTEXTW, "SB_SETTEXTW"},
        {SB_SETPARTS, "SB_SETPARTS"},
    };
    for (const auto& name : names) {
        if (name.first == message) return name.second;
    }
    static char hex[16];
    snprintf(hex, sizeof(hex), "0x%04X", message);
    return hex;
}

static void Report(const char* action, double ms) {
    std::vector<std::pair<std::pair<const char*, UINT>, MessageCost>> sorted(Costs.begin(), Costs.end());
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.second.ms > b.second.ms; });
    printf("%-34s %9.1f ms\n", action, ms);
    for (size_t i = 0; i < sorted.size() && i < 6; ++i) {
        if (sorted[i].second.ms < 0.5 && i > 0) break;
        printf("    %-8s %-24s %8d x %9.1f ms\n", sorted[i].first.first, MessageName(sorted[i].first.second),
               sorted[i].second.count, sorted[i].second.ms);
    }
    Costs.clear();
}

static void TimeAction(const char* action, void (*run)()) {
    Costs.clear();
    Timeline.clear();
    KeepTimeline = getenv("HOTPATH_TIMELINE") != nullptr;
    double start = ActionStart = NowMs();
    run();
    PumpUntilIdle();
    double ms = NowMs() - start;
    KeepTimeline = false;
    Report(action, ms);
    for (const std::string& line : Timeline) puts(line.c_str());
}

static std::wstring DocumentFile;
static std::wstring ReplaceDocument;

// What a load paid before the gutter took its width ahead of the text: the
// editor resized once after the text was in.
static void WidenGutterByADigit() {
    SetGutterWidthForLines(MainWindow, 1000000);
    LayoutMainWindow(MainWindow);
}

static void OpenFile(const std::wstring& path) {
    LoadTextFile(MainWindow, EditControl, path.c_str());
    SetDocumentPath(path.c_str());
    ClearModified();
    ResetView();
    Watch(EditControl, "editor");  // a large document before may have left a fresh editor
}

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);  // every line out at once, also when piped
    bool wrap = argc > 1 && strcmp(argv[1], "wrap") == 0;
    bool longLines = argc > 1 && strcmp(argv[argc - 1], "long") == 0;
    bool logLines = argc > 1 && strcmp(argv[argc - 1], "log") == 0;
    // A few bytes under 10 MB: with the characters typed below, the save
    // stays within the size a file can be opened at, and asks nothing.
    const size_t size = 10485760 - 16;
    std::string document = longLines  ? MakeLongLines(size, 10)
                           : logLines ? MakeLogLines(size)
                                      : MakeAsciiLines(size);
    // The long lines end in a line break, as the peer benchmark's do: the
    // typing at the end goes into an empty last line.
    if (longLines) document.replace(document.size() - 2, 2, "\r\n");
    DocumentFile = WriteBenchFile(L"hotpath10.txt", document);
    ReplaceDocument = WriteBenchFile(L"replace2.txt", MakeReplaceDocument(2097152, 50000));
    StartBenchEditor();
    if (wrap != Autowrap) ToggleAutoWrap();
    SetForegroundWindow(MainWindow);
    SetFocus(EditControl);
    PumpUntilIdle();
    Watch(EditControl, "editor");
    Watch(MainWindow, "main");
    Watch(GutterWindow, "gutter");
    Watch(StatusBar, "status");
    printf("word wrap %s%s\n", wrap ? "on" : "off",
           longLines  ? ", ten long lines"
           : logLines ? ", log lines"
                      : "");

    TimeAction("open 10 MB", [] { OpenFile(DocumentFile); });
    TimeAction("gutter a digit wider", WidenGutterByADigit);
    TimeAction("Ctrl+End", [] { PressKeys({VK_CONTROL, VK_END}); });
    TimeAction("type at end", [] { TypeCharacter(L'x'); });
    TimeAction("Ctrl+Home", [] { PressKeys({VK_CONTROL, VK_HOME}); });
    TimeAction("type at start", [] { TypeCharacter(L'x'); });
    // Put there by a key, as a user would: a message would not end the run
    // of typing, and the Undo would take the character typed at the start too.
    TimeAction("caret to the middle", [] {
        LONG middle = GetWindowTextLengthW(EditControl) / 2;
        SendMessageW(EditControl, EM_SETSEL, middle - 1, middle - 1);
        SendMessageW(EditControl, EM_SCROLLCARET, 0, 0);
        PressKeys({VK_RIGHT});
    });
    TimeAction("type in the middle", [] { TypeCharacter(L'x'); });
    TimeAction("Undo in the middle", [] { PressKeys({VK_CONTROL, 'Z'}); });
    TimeAction("Page Down in the middle", [] { PressKeys({VK_NEXT}); });
    TimeAction("save 10 MB", [] { WriteTextFile(EditControl, DocumentFile.c_str()); });
    if (!longLines) {
        TimeAction("open 2 MB", [] { OpenFile(ReplaceDocument); });
        TimeAction("Replace All 50,000", [] { ReplaceAll(L"7Q7", L"7R7R"); });
    }
    StopBenchEditor();
    return 0;
}
