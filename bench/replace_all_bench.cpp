// Replace All of 50,000 matches in a 2 MB document, next to opening the
// same document from a file into a new editor, in the same run: each run
// a process of its own.
#include <richedit.h>

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "search/search.h"
#include "view/view.h"

static const size_t DocumentBytes = 2 * 1024 * 1024;
static const int MatchCount = 50000;
static const int Runs = 5;

// What Open does once the file is chosen, up to the first paint.
static void OpenAsTheUserDoes(const std::wstring& path) {
    if (PassesPreloadChecks(MainWindow, path.c_str(), LoadCaller::OpenCommand) &&
        LoadTextFile(MainWindow, EditControl, path.c_str())) {
        SetDocumentPath(path.c_str());
    }
    ClearModified();
    ResetView();
    PumpBenchMessages();
}

static LONG EditorLength() {
    GETTEXTLENGTHEX measure = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(
        SendMessageW(EditControl, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0));
}

static std::wstring BesideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

struct RunResult {
    double open = 0, replace = 0, call = 0;  // call: until ReplaceAll returns
    long removed = 0;
};

// One run: the file opened in a new editor, as a user's Open does from a
// new document (putting a text over one of this size is a deletion first,
// which would cost more than the load itself), then Replace All.
static RunResult RunOnce() {
    RunResult result;
    StartBenchEditor();
    double start = NowMs();
    OpenAsTheUserDoes(BesideThisProgram(L"needles.txt"));
    result.open = NowMs() - start;
    LONG before = EditorLength();

    start = NowMs();
    ReplaceAll(L"needle", L"pin");
    result.call = NowMs() - start;
    PumpBenchMessages();
    result.replace = NowMs() - start;
    result.removed = before - EditorLength();
    StopBenchEditor();
    return result;
}

// Each run in a process of its own: a process's later editors are slower
// than its first, as its heap is no longer fresh. The run writes its
// numbers to a file.
static bool RunInNewProcess(RunResult& result) {
    std::wstring resultPath = BesideThisProgram(L"run.txt");
    DeleteFileW(resultPath.c_str());
    std::wstring command = L"\"" + BesideThisProgram(L"replace_all_bench.exe") + L"\" --one-run";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    FILE* file = _wfopen(resultPath.c_str(), L"r");
    if (!file) return false;
    bool read =
        fscanf(file, "%lf %lf %lf %ld", &result.open, &result.replace, &result.call, &result.removed) == 4;
    fclose(file);
    return read;
}

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--one-run") == 0) {
        RunResult result = RunOnce();
        FILE* file = _wfopen(BesideThisProgram(L"run.txt").c_str(), L"w");
        if (!file) return 1;
        fprintf(file, "%.1f %.1f %.1f %ld\n", result.open, result.replace, result.call, result.removed);
        fclose(file);
        return 0;
    }
    std::string document = MakeNeedleDocument(DocumentBytes, MatchCount);
    if (!WriteBytesTo(BesideThisProgram(L"needles.txt"), document)) return 1;
    std::vector<double> loads, replaces, calls;
    long removed = 0;
    for (int run = 0; run < Runs; ++run) {
        RunResult result;
        if (!RunInNewProcess(result)) {
            printf("run %d failed\n", run + 1);
            return 1;
        }
        loads.push_back(result.open);
        replaces.push_back(result.replace);
        calls.push_back(result.call);
        removed = result.removed;
        printf("run %d: open %.0f ms, Replace All %.0f ms (%.0f ms until it returns)\n", run + 1, result.open,
               result.replace, result.call);
        fflush(stdout);
    }
    printf("document: %zu characters with %d matches; Replace All removed %ld characters (%d expected)\n",
           document.size(), MatchCount, removed, MatchCount * 3);
    printf("%-44s %10s\n", "measurement", "median ms");
    printf("%-44s %10.1f\n", "open 2 MB into a new editor", Median(loads));
    printf("%-44s %10.1f\n", "Replace All, 50,000 matches", Median(replaces));
    printf("%-44s %10.1f\n", "  of which until ReplaceAll returns", Median(calls));
    printf("%-44s %10.2f\n", "Replace All / open (target: at most 1)", Median(replaces) / Median(loads));
    return 0;
}
