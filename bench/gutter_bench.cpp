// The gutter and the status bar at the end of a 10 MB document of about
// 200,000 lines, word wrap off and on: after Ctrl+End, after typing a
// character at the end, and the status bar alone, each beside the time the
// rich edit control takes to repaint the same view, in the same run.
//
// The keystrokes run with the editor's notifications off, so that each part
// is timed on its own: the status bar and the gutter, each once with the
// line numbers still to be counted ("cold") and once right after the other
// ("warm"); a keystroke normally runs the status bar first (EN_SELCHANGE)
// and the gutter at the next paint.
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/app.h"
#include "bench_support.h"
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

struct Source {
    const wchar_t* text;
    size_t left;
};

DWORD CALLBACK Feed(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    Source* source = reinterpret_cast<Source*>(cookie);
    size_t characters = std::min<size_t>(source->left, static_cast<size_t>(size) / 2);
    memcpy(buffer, source->text, characters * 2);
    source->text += characters;
    source->left -= characters;
    *done = static_cast<LONG>(characters * 2);
    return 0;
}

// Streams the text in (Wine's WM_SETTEXT takes minutes for this size) as a
// load does: drawing and notifications off, then the view reset.
void LoadDocument(const std::wstring& text) {
    LRESULT mask = SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
    Source source = {text.c_str(), text.size()};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, Feed};
    SendMessageW(EditControl, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(EditControl, WM_SETREDRAW, TRUE, 0);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
    SendMessageW(EditControl, EM_SETMODIFY, FALSE, 0);
    ResetView();
    UpdateStatusBar();
    PumpBenchMessages();
}

// A key pressed in the editor with its notifications off.
void PressKey(UINT key, bool control) {
    LRESULT mask = SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(EditControl, WM_KEYDOWN, key, 0);
    SendMessageW(EditControl, WM_KEYUP, key, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
}

void TypeCharacter() {
    LRESULT mask = SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    SendMessageW(EditControl, WM_CHAR, 'x', 1);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
    GutterDirty = true;  // what EN_CHANGE does
}

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
                t.statusWarm.push_back(Time(UpdateStatusBar));
            } else {
                t.statusCold.push_back(Time(UpdateStatusBar));
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
    Timings end = Measure([] { PressKey(VK_HOME, true); }, [] { PressKey(VK_END, true); });
    snprintf(label, sizeof(label), "Ctrl+End, wrap %s", wrap);
    Print(label, end);

    Timings typed = Measure([] { PressKey(VK_END, true); }, TypeCharacter);
    snprintf(label, sizeof(label), "typing at the end, wrap %s", wrap);
    Print(label, typed);

    std::vector<double> status, editor;
    for (int run = 0; run < 5; ++run) {
        status.push_back(Time(UpdateStatusBar));
        editor.push_back(Time(PaintEditorNow));
    }
    printf("%-34s %9s %9.1f %9s %9s %9s %9.1f\n", "status bar again, nothing changed", "", Median(status), "",
           "", "", Median(editor));

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
    std::wstring text = MakeDocument();
    double start = NowMs();
    LoadDocument(text);
    printf("document: %d characters, %d lines, streamed in %.0f ms\n\n",
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
