// Replace All of 50,000 matches in a 2 MB document, next to opening the
// same document from a file into a new editor, in the same run.
#include <richedit.h>

#include <cstdio>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "search/search.h"
#include "view/view.h"

static const size_t DocumentBytes = 2 * 1024 * 1024;
static const int MatchCount = 50000;
static const int Runs = 3;

// ASCII lines with "needle" in three spellings spread evenly through them,
// never across a line end.
static std::string MakeNeedleDocument() {
    std::string text = MakeAsciiLines(DocumentBytes);
    static const char* const spellings[] = {"needle", "Needle", "NEEDLE"};
    size_t step = text.size() / MatchCount;
    for (int i = 0; i < MatchCount; ++i) {
        size_t at = i * step;
        while (text.find_first_of("\r\n", at) < at + 6) ++at;
        text.replace(at, 6, spellings[i % 3]);
    }
    return text;
}

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

// Each run opens the file in a new editor, as a user's Open does from a
// new document: putting a text over one of this size is a deletion first,
// which would cost more than the load itself.
int main() {
    std::string document = MakeNeedleDocument();
    std::wstring path = WriteBenchFile(L"needles.txt", document);
    std::vector<double> loads, replaces, calls;  // calls: until ReplaceAll returns
    LONG removed = 0;
    for (int run = 0; run < Runs; ++run) {
        StartBenchEditor();
        double start = NowMs();
        OpenAsTheUserDoes(path);
        loads.push_back(NowMs() - start);
        LONG before = EditorLength();

        start = NowMs();
        ReplaceAll(L"needle", L"pin");
        calls.push_back(NowMs() - start);
        PumpBenchMessages();
        replaces.push_back(NowMs() - start);
        removed = before - EditorLength();
        StopBenchEditor();
        printf("run %d: open %.0f ms, Replace All %.0f ms (%.0f ms until it returns)\n", run + 1,
               loads.back(), replaces.back(), calls.back());
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
