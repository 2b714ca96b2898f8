// Where Replace All's time goes in Wine's control: the same 2 MB,
// 50,000-match document as replace_all_bench, opened into a new editor,
// then the edits Replace All makes done here step by step, each stage
// timed (clock and this thread's CPU time, which a shared machine disturbs
// less). Other ways of making the same edits are picked by arguments, one
// way each, each in a new editor:
//   replace_all_stages_bench.exe [way...]      (default: start:2000)
// A way is words joined by '+':
//   start:N       remove the span in pieces of N lines at its start, then
//                 insert the new text in one EM_REPLACESEL (what ReplaceAll does)
//   end:N         remove the pieces from the span's end backwards instead
//   swap:N        replace piece by piece, old lines by their new text, from the end
//   ins-pieces:N  insert the new text in pieces of N lines, each after the last
//   ins-settext   insert it with EM_SETTEXTEX ST_SELECTION|ST_KEEPUNDO
//   wrap          word wrap on during the edits
//   hide          editor hidden during the edits
//   undo0         undo limit 0 during the edits
//   fresh         no edits: the new text set into a second control of the same
//                 kind as Open sets a file's text, the old control destroyed
//   fresh-sel     the same with EM_REPLACESEL instead of WM_SETTEXT
//   noop:N        N one-character edits near the start: the fixed cost of an edit
//   kb:N          a document of N KB instead of 2,048, with as many matches per KB
//   setbench      "open" is SetBenchEditorText, which keeps the Undo history on
// Run it once per way (a process's later editors are slower: its heap is no
// longer fresh).
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "search/search.h"
#include "view/view.h"

// The document of replace_all_bench: 2,048 KB with 50,000 matches, or as
// many KB as a "kb:N" word asks, with as many matches per KB.
static std::string NeedleDocumentOf(size_t kilobytes) {
    return MakeNeedleDocument(kilobytes * 1024, static_cast<int>(50000 * kilobytes / 2048));
}

static double CpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return ((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

struct Clock {
    double wall = NowMs(), cpu = CpuMs();
};

struct Lap {
    double wall = 0, cpu = 0;
    void Add(const Clock& since) {
        wall += NowMs() - since.wall;
        cpu += CpuMs() - since.cpu;
    }
};

static std::wstring StoredText() {
    GETTEXTLENGTHEX measure = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT length = SendMessageW(EditControl, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0);
    return ReadTextEx(EditControl, static_cast<LONG>(length), GT_DEFAULT);
}

// "needle" in any case by "pin": the span [first, last) gives way to
// `middle`. At every line end of the span outside a match, its old and
// new positions (right after the CR), where pieces may be cut.
struct Plan {
    LONG first = -1, last = -1;
    std::wstring middle;
    std::vector<LONG> oldCuts, newCuts;
};

static Plan MakePlan(const std::wstring& text) {
    Plan plan;
    std::wstring folded(text);
    for (wchar_t& c : folded) c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    size_t copied = folded.find(L"needle");
    plan.first = static_cast<LONG>(copied);
    for (size_t at = copied; at != std::wstring::npos; at = folded.find(L"needle", copied)) {
        for (size_t i = copied; i < at; ++i) {
            plan.middle += text[i];
            if (text[i] != L'\r') continue;
            plan.oldCuts.push_back(static_cast<LONG>(i + 1));
            plan.newCuts.push_back(static_cast<LONG>(plan.first + plan.middle.size()));
        }
        plan.middle += L"pin";
        copied = at + 6;
    }
    plan.last = static_cast<LONG>(copied);
    return plan;
}

static void ReplaceRange(LONG start, LONG end, const wchar_t* text) {
    CHARRANGE range = {start, end};
    SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

static bool Has(const std::string& way, const char* word) { return way.find(word) != std::string::npos; }

// The number after "word:" in the way, or the fallback.
static int Number(const std::string& way, const char* word, int fallback) {
    size_t at = way.find(word);
    if (at == std::string::npos) return fallback;
    at += strlen(word);
    return at < way.size() && way[at] == ':' ? atoi(way.c_str() + at + 1) : fallback;
}

// Every k-th cut of the plan, as indices into its cut lists.
static std::vector<size_t> EveryKth(const Plan& plan, int k) {
    std::vector<size_t> picked;
    for (size_t i = k - 1; i < plan.oldCuts.size(); i += k) picked.push_back(i);
    return picked;
}

struct Stages {
    Lap open, plan, remove, insert, finish;
    int edits = 0;
};

static void RemoveFromStart(const Plan& plan, int k, Stages& stages) {
    LONG pieceStart = plan.first;
    for (size_t i : EveryKth(plan, k)) {
        ReplaceRange(plan.first, plan.first + (plan.oldCuts[i] - pieceStart), L"");
        pieceStart = plan.oldCuts[i];
        ++stages.edits;
    }
    ReplaceRange(plan.first, plan.first + (plan.last - pieceStart), L"");
    ++stages.edits;
}

static void RemoveFromEnd(const Plan& plan, int k, Stages& stages) {
    std::vector<size_t> cuts = EveryKth(plan, k);
    LONG end = plan.last;
    for (size_t i = cuts.size(); i-- > 0;) {
        ReplaceRange(plan.oldCuts[cuts[i]], end, L"");
        end = plan.oldCuts[cuts[i]];
        ++stages.edits;
    }
    ReplaceRange(plan.first, end, L"");
    ++stages.edits;
}

static void Insert(const Plan& plan, const std::string& way, Stages& stages) {
    if (Has(way, "ins-pieces")) {
        LONG at = plan.first;
        for (size_t i : EveryKth(plan, Number(way, "ins-pieces", 2000))) {
            ReplaceRange(at, at, plan.middle.substr(at - plan.first, plan.newCuts[i] - at).c_str());
            at = plan.newCuts[i];
            ++stages.edits;
        }
        ReplaceRange(at, at, plan.middle.substr(at - plan.first).c_str());
    } else if (Has(way, "ins-settext")) {
        CHARRANGE range = {plan.first, plan.first};
        SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SETTEXTEX how = {ST_SELECTION | ST_KEEPUNDO, 1200};
        SendMessageW(EditControl, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                     reinterpret_cast<LPARAM>(plan.middle.c_str()));
    } else {
        ReplaceRange(plan.first, plan.first, plan.middle.c_str());
    }
    ++stages.edits;
}

static void SwapFromEnd(const Plan& plan, int k, Stages& stages) {
    std::vector<size_t> cuts = EveryKth(plan, k);
    LONG oldEnd = plan.last, newEnd = plan.first + static_cast<LONG>(plan.middle.size());
    for (size_t i = cuts.size(); i-- > 0;) {
        LONG oldStart = plan.oldCuts[cuts[i]], newStart = plan.newCuts[cuts[i]];
        ReplaceRange(oldStart, oldEnd, plan.middle.substr(newStart - plan.first, newEnd - newStart).c_str());
        oldEnd = oldStart;
        newEnd = newStart;
        ++stages.edits;
    }
    ReplaceRange(plan.first, oldEnd, plan.middle.substr(0, newEnd - plan.first).c_str());
    ++stages.edits;
}

// The new text in a second control where the editor is, the editor destroyed.
static void SetIntoSecondControl(const Plan& plan, const std::wstring& old, const std::string& way,
                                 Stages& stages) {
    std::wstring whole = old.substr(0, plan.first) + plan.middle + old.substr(plan.last);
    RECT box;
    GetWindowRect(EditControl, &box);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&box), 2);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(EditControl, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    Clock insert;
    HWND second = CreateWindowExW(
        0, MSFTEDIT_CLASS, L"",
        WS_CHILD | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
        box.left, box.top, box.right - box.left, box.bottom - box.top, MainWindow, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(second, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(second, EM_SETTARGETDEVICE, 0, Autowrap ? 0 : 1);
    if (Has(way, "fresh-sel")) {
        SendMessageW(second, EM_EXLIMITTEXT, 0, EditorTextLimit);
        SendMessageW(second, EM_SETUNDOLIMIT, 0, 0);
        SendMessageW(second, WM_SETREDRAW, FALSE, 0);
        SendMessageW(second, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(whole.c_str()));
        SendMessageW(second, EM_SETUNDOLIMIT, 100, 0);
        SendMessageW(second, WM_SETREDRAW, TRUE, 0);
    } else {
        ReplaceEditorText(second, whole.c_str());  // as Open puts a file's text in
    }
    stages.insert.Add(insert);
    Clock remove;
    SetFocus(nullptr);  // skips a wait of Wine's in DestroyWindow
    DestroyWindow(EditControl);
    EditControl = second;
    ShowWindow(second, SW_SHOW);
    stages.remove.Add(remove);
    stages.edits = 1;
}

static void EditOneWay(const Plan& plan, const std::wstring& old, const std::string& way, Stages& stages) {
    if (Has(way, "fresh")) return SetIntoSecondControl(plan, old, way, stages);
    Clock remove;
    if (Has(way, "noop")) {
        for (int i = Number(way, "noop", 20); i > 0; --i, ++stages.edits) {
            ReplaceRange(plan.first, plan.first + 1, L"n");
        }
    } else if (Has(way, "swap")) {
        SwapFromEnd(plan, Number(way, "swap", 2000), stages);
    } else if (Has(way, "end")) {
        RemoveFromEnd(plan, Number(way, "end", 2000), stages);
    } else {
        RemoveFromStart(plan, Number(way, "start", 2000), stages);
    }
    stages.remove.Add(remove);
    if (Has(way, "noop") || Has(way, "swap")) return;
    Clock insert;
    Insert(plan, way, stages);
    stages.insert.Add(insert);
}

static void RunWay(const std::string& way) {
    std::string document = NeedleDocumentOf(Number(way, "kb", 2048));
    std::wstring path = WriteBenchFile(L"needles.txt", document);
    Stages stages;
    StartBenchEditor();
    Clock open;
    if (Has(way, "setbench")) {
        SetBenchEditorText(std::wstring(document.begin(), document.end()));
    } else {
        if (LoadTextFile(MainWindow, EditControl, path.c_str())) SetDocumentPath(path.c_str());
        ClearModified();
        ResetView();
        PumpBenchMessages();
    }
    stages.open.Add(open);

    Clock plan;
    std::wstring old = StoredText();
    Plan edits = MakePlan(old);
    stages.plan.Add(plan);

    LRESULT mask = SendMessageW(EditControl, EM_GETEVENTMASK, 0, 0);
    SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
    if (Has(way, "wrap")) SendMessageW(EditControl, EM_SETTARGETDEVICE, 0, 0);
    if (Has(way, "hide")) ShowWindow(EditControl, SW_HIDE);
    if (Has(way, "undo0")) SendMessageW(EditControl, EM_SETUNDOLIMIT, 0, 0);
    EditOneWay(edits, old, way, stages);
    Clock finish;
    if (Has(way, "undo0")) SendMessageW(EditControl, EM_SETUNDOLIMIT, 100, 0);
    if (Has(way, "hide")) ShowWindow(EditControl, SW_SHOW);
    if (Has(way, "wrap")) SendMessageW(EditControl, EM_SETTARGETDEVICE, 0, Autowrap ? 0 : 1);
    SendMessageW(EditControl, EM_SETEVENTMASK, 0, mask);
    SendMessageW(EditControl, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(EditControl, nullptr, TRUE);
    PumpBenchMessages();
    stages.finish.Add(finish);

    std::wstring now = StoredText();
    bool right = now == old.substr(0, edits.first) + edits.middle + old.substr(edits.last);
    double wall = stages.plan.wall + stages.remove.wall + stages.insert.wall + stages.finish.wall;
    double cpu = stages.plan.cpu + stages.remove.cpu + stages.insert.cpu + stages.finish.cpu;
    printf("%s: %d edits%s\n", way.c_str(), stages.edits, right || Has(way, "noop") ? "" : ", WRONG TEXT");
    printf("  %-8s %8s %8s\n", "ms", "clock", "cpu");
    const std::pair<const char*, const Lap&> rows[] = {{"open", stages.open},
                                                       {"plan", stages.plan},
                                                       {"remove", stages.remove},
                                                       {"insert", stages.insert},
                                                       {"finish", stages.finish}};
    for (const auto& row : rows) printf("  %-8s %8.0f %8.0f\n", row.first, row.second.wall, row.second.cpu);
    printf("  %-8s %8.0f %8.0f   (%.2f x open by the clock, %.2f x by cpu)\n", "total", wall, cpu,
           wall / stages.open.wall, cpu / stages.open.cpu);
    fflush(stdout);
    StopBenchEditor();
}

int main(int argc, char** argv) {
    std::vector<std::string> ways(argv + 1, argv + argc);
    if (ways.empty()) ways.push_back("start:2000");
    for (const std::string& way : ways) RunWay(way);
    return 0;
}
