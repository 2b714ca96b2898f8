// The gutter and the status bar at the end of a 10 MB document of about
// 200,000 lines, word wrap off and on: after Ctrl+End, after typing a
// character at the end, and the status bar alone, each beside the time the
// rich edit control takes to repaint the same view, in the same run.
//
// The keystrokes are sent as real ones are, notifications on, and nothing
// is pumped before the parts are timed each on its own: the status bar and
// the gutter, each once with the line numbers still to be counted ("cold")
// and once right after the other ("warm"); a keystroke normally runs the
// status bar first (EN_SELCHANGE) and the gutter at the next paint.
// Ctrl+End follows Ctrl+Home each time: after the first, the gutter takes
// the lines it read at the end again, so the first is also shown on its own.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "view/view.h"

namespace {

// About 200,000 lines in 10 MB: most of 10 to 60 characters, one in ten of
// 120 to 220, which word wrap breaks over two or three display lines.
std::wstring MakeDocument() {
    const size_t bytes = 10 * 1024 * 1024;
    std::wstring text;
    text.reserve(bytes);
    unsigned seed = 7;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    while (text.size() + 2 < bytes) {
        size_t length = next() % 10 == 0 ? 120 + next() % 101 : 10 + next() % 51;
        for (size_t i = 0; i < length; ++i)
            text += (next() % 6 == 0) ? L' ' : static_cast<wchar_t>(L'a' + next() % 26);
        text += L"\r\n";
    }
    text.resize(bytes - 2);
    return text;
}

// Loads the text as opening a file does: the program's own load (drawing
// and notifications off, the end of the text handed to the gutter), then
// the view reset.
void LoadDocument(const std::wstring& text) {
    ReplaceEditorText(EditControl, text.c_str());
    SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);
    ResetView();
    UpdateStatusBar();
    PumpBenchMessages();
}

// A key pressed in the editor, reported by it as a real key's is.
void PressKey(UINT key, bool control) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(EditControl, WM_KEYDOWN, key, 0);
    SendMessageW(EditControl, WM_KEYUP, key, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

// A character typed at the caret, reported by the editor as a keystroke's is.
void TypeOneCharacter() { SendMessageW(EditControl, WM_CHAR, 'x', 1); }

double Time(const std::function<void()>& action) {
    double start = NowMs();
    action();
    return NowMs() - start;
}

void PaintGutterNow() {
    InvalidateRect(GutterWindow, nullptr, FALSE);
    UpdateWindow(GutterWindow);
}

// The control alone: the gutter it invalidates while painting is put aside.
// The status bar's texts and its repaint, which it leaves to the next paint.
void UpdateStatusBarNow() {
    UpdateStatusBar();
    UpdateWindow(StatusBar);
}

void PaintEditorNow() {
    InvalidateRect(EditControl, nullptr, FALSE);
    UpdateWindow(EditControl);
    ValidateRect(GutterWindow, nullptr);
}

// Everything the view still owes, so that nothing pending is timed.
void Settle() {
    PumpBenchMessages();
    UpdateWindow(EditControl);
    UpdateWindow(GutterWindow);
    PumpBenchMessages();
}

struct Timings {
    std::vector<double> gutterCold, statusWarm, statusCold, gutterWarm, editor;
};

// ---- The editor's messages: which the gutter and the status bar send,
// and what each costs at the end of the document ----

struct QueryTally {
    int count = 0;
    double ms = 0;
};
std::map<UINT, QueryTally> Queries;
bool CountingQueries = false;

// The editor's procedure below the counting one, which replaces it rather
// than joining comctl32's subclass chain: that chain would add about 0.1 ms
// to every message under Wine.
WNDPROC EditorProcedure = nullptr;

// Messages sent from within a counted one are the control's own business.
LRESULT CALLBACK CountQueries(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!CountingQueries) return CallWindowProcW(EditorProcedure, window, message, wParam, lParam);
    CountingQueries = false;
    double start = NowMs();
    LRESULT result = CallWindowProcW(EditorProcedure, window, message, wParam, lParam);
    QueryTally& tally = Queries[message];
    ++tally.count;
    tally.ms += NowMs() - start;
    CountingQueries = true;
    return result;
}

const char* QueryName(UINT message) {
    switch (message) {
    case EM_LINEINDEX: return "LINEINDEX";
    case EM_POSFROMCHAR: return "POSFROMCHAR";
    case EM_CHARFROMPOS: return "CHARFROMPOS";
    case EM_EXLINEFROMCHAR: return "EXLINEFROMCHAR";
    case EM_LINEFROMCHAR: return "LINEFROMCHAR";
    case EM_LINELENGTH: return "LINELENGTH";
    case EM_GETTEXTRANGE: return "GETTEXTRANGE";
    case EM_GETLINECOUNT: return "GETLINECOUNT";
    case EM_GETFIRSTVISIBLELINE: return "GETFIRSTVISIBLELINE";
    case EM_EXGETSEL: return "EXGETSEL";
    case EM_GETTEXTLENGTHEX: return "GETTEXTLENGTHEX";
    case EM_GETRECT: return "GETRECT";
    case EM_GETZOOM: return "GETZOOM";
    case EM_GETCHARFORMAT: return "GETCHARFORMAT";
    case EM_GETSCROLLPOS: return "GETSCROLLPOS";
    default: return nullptr;
    }
}

void PrintQueries(const char* what, const std::function<void()>& action) {
    Queries.clear();
    CountingQueries = true;
    double total = Time(action);
    CountingQueries = false;
    double counted = 0;
    printf("    %-16s %6.1f ms:", what, total);
    for (const auto& [message, tally] : Queries) {
        const char* name = QueryName(message);
        if (name)
            printf(" %s x%d %.1f;", name, tally.count, tally.ms);
        else
            printf(" 0x%X x%d %.1f;", message, tally.count, tally.ms);
        counted += tally.ms;
    }
    printf(" (rest %.1f)\n", total - counted);
}

// Once more, counting: the gutter cold then the status bar, and the status
// bar cold.
void CountScenario(const std::function<void()>& prepare, const std::function<void()>& act) {
    prepare();
    Settle();
    act();
    PrintQueries("gutter (cold)", PaintGutterNow);
    PrintQueries("+status (warm)", UpdateStatusBarNow);
    Settle();
    prepare();
    Settle();
    act();
    PrintQueries("status (cold)", UpdateStatusBarNow);
    Settle();
}

void PrintCost(const char* what, const std::function<LRESULT()>& query) {
    std::vector<double> times;
    LRESULT result = 0;
    for (int run = 0; run < 5; ++run) times.push_back(Time([&] { result = query(); }));
    printf("    %-44s %7.2f ms  -> %lld\n", what, Median(times), static_cast<long long>(result));
}

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(EditControl, message, wParam, lParam);
}

// Each candidate query alone, with the view at the end of the document.
void PrintQueryCosts() {
    CHARRANGE selection;
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    int first = static_cast<int>(Send(EM_GETFIRSTVISIBLELINE));
    LONG firstStart = static_cast<LONG>(Send(EM_LINEINDEX, first));
    POINTL point = {};
    POINT scroll = {};
    GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    RECT rect;
    std::wstring text(4097, L'\0');
    printf("  single queries at the end (caret %ld, first visible line %d starting at %ld):\n",
           selection.cpMin, first, firstStart);
    PrintCost("EM_GETLINECOUNT", [] { return Send(EM_GETLINECOUNT); });
    PrintCost("EM_EXGETSEL", [&] { return Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection)); });
    PrintCost("EM_GETTEXTLENGTHEX",
              [&] { return Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length)); });
    PrintCost("EM_GETRECT", [&] { return Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect)); });
    PrintCost("EM_GETCHARFORMAT (default)",
              [&] { return Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)); });
    PrintCost("EM_GETSCROLLPOS (y)", [&] {
        Send(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
        return static_cast<LRESULT>(scroll.y);
    });
    PrintCost("GetScrollInfo SB_VERT (nPos)", [] {
        SCROLLINFO info = {sizeof(info), SIF_ALL};
        GetScrollInfo(EditControl, SB_VERT, &info);
        return static_cast<LRESULT>(info.nPos);
    });
    PrintCost("EM_GETFIRSTVISIBLELINE", [] { return Send(EM_GETFIRSTVISIBLELINE); });
    PrintCost("EM_CHARFROMPOS (0, 0)", [&] {
        POINTL corner = {0, 0};
        return Send(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner));
    });
    PrintCost("EM_CHARFROMPOS (-10000, 0)", [&] {
        POINTL corner = {-10000, 0};
        return Send(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner));
    });
    PrintCost("EM_LINEINDEX (first visible)", [&] { return Send(EM_LINEINDEX, first); });
    PrintCost("EM_LINEINDEX (-1, the caret's line)",
              [] { return Send(EM_LINEINDEX, static_cast<WPARAM>(-1)); });
    PrintCost("EM_LINEINDEX (10)", [] { return Send(EM_LINEINDEX, 10); });
    PrintCost("EM_EXLINEFROMCHAR (caret)", [&] { return Send(EM_EXLINEFROMCHAR, 0, selection.cpMin); });
    PrintCost("EM_LINEFROMCHAR (-1)", [] { return Send(EM_LINEFROMCHAR, static_cast<WPARAM>(-1)); });
    PrintCost("EM_LINELENGTH (caret)", [&] { return Send(EM_LINELENGTH, selection.cpMin); });
    PrintCost("EM_POSFROMCHAR (caret) y", [&] {
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), selection.cpMin);
        return static_cast<LRESULT>(point.y);
    });
    PrintCost("EM_POSFROMCHAR (first visible start) y", [&] {
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), firstStart);
        return static_cast<LRESULT>(point.y);
    });
    PrintCost("EM_POSFROMCHAR (10) y", [&] {
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), 10);
        return static_cast<LRESULT>(point.y);
    });
    PrintCost("EM_GETTEXTRANGE (4096 from first visible)", [&] {
        TEXTRANGEW range = {{firstStart, firstStart + 4096}, text.data()};
        return Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    });
    PrintCost("EM_GETTEXTRANGE (64 before the caret)", [&] {
        TEXTRANGEW range = {{selection.cpMin - 64, selection.cpMin}, text.data()};
        return Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    });
    PrintCost("floor: one top and one read of the view's text", [&] {
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), firstStart);
        TEXTRANGEW range = {{firstStart, firstStart + 4096}, text.data()};
        return Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    });
    PrintCost("ReadLayoutPrint-like (rect, zoom, format, length)", [&] {
        DWORD n, d;
        Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
        Send(EM_GETZOOM, reinterpret_cast<WPARAM>(&n), reinterpret_cast<LPARAM>(&d));
        Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        return Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length));
    });
}

void Print(const char* what, const Timings& t) {
    printf("%-34s %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f\n", what, Median(t.gutterCold), Median(t.statusWarm),
           Median(t.statusCold), Median(t.gutterWarm), Median(t.gutterCold) + Median(t.statusWarm),
           Median(t.editor));
}

// One scenario five times: `prepare` leaves the view as it was before,
// `act` is the keystroke; each order of gutter and status bar is timed.
Timings Measure(const std::function<void()>& prepare, const std::function<void()>& act) {
    Timings t;
    for (int run = 0; run < 5; ++run) {
        for (bool gutterFirst : {true, false}) {
            prepare();
            Settle();
            act();
            if (gutterFirst) {
                t.gutterCold.push_back(Time(PaintGutterNow));
                t.statusWarm.push_back(Time(UpdateStatusBarNow));
            } else {
                t.statusCold.push_back(Time(UpdateStatusBarNow));
                t.gutterWarm.push_back(Time(PaintGutterNow));
            }
            t.editor.push_back(Time(PaintEditorNow));
            Settle();
        }
    }
    return t;
}

void MeasureView(const char* wrap) {
    char label[64];
    auto home = [] { PressKey(VK_HOME, true); };
    auto end = [] { PressKey(VK_END, true); };
    snprintf(label, sizeof(label), "Ctrl+End, wrap %s", wrap);
    Timings ctrlEnd = Measure(home, end);
    Print(label, ctrlEnd);
    // The first Ctrl+End after the load (or word wrap turned on) has no
    // lines read at the end to take again; one sample.
    printf("%-34s %9.1f %9.1f %9s %9s %9.1f %9.1f\n", "  the first of them", ctrlEnd.gutterCold[0],
           ctrlEnd.statusWarm[0], "", "", ctrlEnd.gutterCold[0] + ctrlEnd.statusWarm[0], ctrlEnd.editor[0]);
    CountScenario(home, end);

    // Typing goes on where the last character went: Ctrl+End once.
    auto stayAtTheEnd = [] {
        CHARRANGE selection = {};
        SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        if (selection.cpMin != CharacterCount(EditControl)) PressKey(VK_END, true);
    };
    snprintf(label, sizeof(label), "typing at the end, wrap %s", wrap);
    Print(label, Measure(stayAtTheEnd, TypeOneCharacter));
    CountScenario(stayAtTheEnd, TypeOneCharacter);

    std::vector<double> status, editor;
    for (int run = 0; run < 5; ++run) {
        status.push_back(Time(UpdateStatusBarNow));
        editor.push_back(Time(PaintEditorNow));
    }
    printf("%-34s %9s %9.1f %9s %9s %9s %9.1f\n", "status bar again, nothing changed", "", Median(status), "",
           "", "", Median(editor));
    PrintQueries("status (again)", UpdateStatusBarNow);
    PrintQueryCosts();

    std::vector<double> query;
    CHARRANGE selection;
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    for (int run = 0; run < 5; ++run) {
        query.push_back(Time([&] {
            POINTL point;
            SendMessageW(EditControl, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), selection.cpMin);
        }));
    }
    printf("%-34s %9.1f\n", "one EM_POSFROMCHAR at the end", Median(query));

    std::vector<double> whole;
    std::wstring text(static_cast<size_t>(selection.cpMin) + 1, L'\0');
    for (int run = 0; run < 3; ++run) {
        whole.push_back(Time([&] {
            TEXTRANGEW range = {{0, selection.cpMin}, text.data()};
            SendMessageW(EditControl, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        }));
    }
    printf("%-34s %9.1f\n", "reading all the text above the end", Median(whole));
}

}  // namespace

int main() {
    StartBenchEditor();
    EditorProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(EditControl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountQueries)));
    std::wstring text = MakeDocument();
    double start = NowMs();
    LoadDocument(text);
    printf("document: %d characters, %d lines, loaded in %.0f ms\n\n",
           static_cast<int>(SendMessageW(EditControl, WM_GETTEXTLENGTH, 0, 0)),
           static_cast<int>(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0)), NowMs() - start);
    printf("median ms of 5                     %9s %9s %9s %9s %9s %9s\n", "gutter", "+status", "status",
           "+gutter", "together", "editor");
    printf("                                   %9s %9s %9s %9s %9s %9s\n", "(cold)", "(warm)", "(cold)",
           "(warm)", "", "repaint");
    MeasureView("off");

    start = NowMs();
    ToggleAutoWrap();
    Settle();
    printf("\nword wrap on: %.0f ms, %d display lines\n", NowMs() - start,
           static_cast<int>(SendMessageW(EditControl, EM_GETLINECOUNT, 0, 0)));
    MeasureView("on");
    StopBenchEditor();
    return 0;
}
