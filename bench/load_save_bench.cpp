// Load and save times of 1, 5 and 10 MB documents, each loaded into a
// freshly started editor (medians of three runs), next to the time the
// decoding alone takes and a plain WriteFile of the same bytes.
#include <cstdio>

#include <richedit.h>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "view/view.h"

namespace {

struct Content {
    const char* name;
    std::string (*make)(size_t bytes, unsigned seed);
    bool wrap;
};

void StartEditor(bool wrap) {
    StartBenchEditor();
    Autowrap = wrap;
    SendMessageW(EditControl, EM_SETTARGETDEVICE, 0, wrap ? 0 : 1);
}

struct Times {
    std::vector<double> decode, load, save, plainWrite;
};

double TimeDecode(const std::string& bytes) {
    double start = NowMs();
    DecodedText decoded = DecodeTextBytes(bytes);
    double elapsed = NowMs() - start;
    return decoded.text.empty() ? -1 : elapsed;
}

double TimeLoad(const std::wstring& path) {
    double start = NowMs();
    bool loaded = LoadTextFile(MainWindow, EditControl, path.c_str());
    UpdateWindow(EditControl);
    PumpBenchMessages();
    return loaded ? NowMs() - start : -1;
}

double TimeSave(const std::wstring& path) {
    double start = NowMs();
    bool saved = WriteTextFile(EditControl, path.c_str()) == SaveResult::Saved;
    return saved ? NowMs() - start : -1;
}

double TimePlainWrite(const std::string& bytes) {
    double start = NowMs();
    WriteBenchFile(L"plain.txt", bytes);
    return NowMs() - start;
}

void Measure(const Content& content, size_t megabytes) {
    std::string bytes = content.make(megabytes << 20, 1);
    std::wstring source = WriteBenchFile(L"source.txt", bytes);
    std::wstring target = WriteBenchFile(L"saved.txt", "");
    Times times;
    for (int run = 0; run < 3; ++run) {
        times.decode.push_back(TimeDecode(bytes));
        StartEditor(content.wrap);
        times.load.push_back(TimeLoad(source));
        times.save.push_back(TimeSave(target));
        StopBenchEditor();
        times.plainWrite.push_back(TimePlainWrite(bytes));
    }
    printf("%-14s %3zu MB %12.1f %12.1f %12.1f %12.1f\n", content.name, megabytes, Median(times.decode),
           Median(times.load), Median(times.save), Median(times.plainWrite));
    fflush(stdout);
}

// Loading over a document already in the control: Wine's rich edit control
// takes time quadratic in the old text's paragraphs to delete it.
void MeasureReplace(size_t megabytes) {
    std::wstring first = WriteBenchFile(L"first.txt", MakeAsciiLines(megabytes << 20, 1));
    std::wstring second = WriteBenchFile(L"second.txt", MakeAsciiLines(megabytes << 20, 2));
    StartBenchEditor();
    TimeLoad(first);
    double replace = TimeLoad(second);
    StopBenchEditor();
    printf("ascii %zu MB loaded over %zu MB, one run: %.1f ms\n", megabytes, megabytes, replace);
}

}  // namespace

int main() {
    const Content contents[] = {{"ascii", MakeAsciiLines, false}, {"log", MakeLogLines, false}};
    const Content wrapped = {"ascii, wrap on", MakeAsciiLines, true};
    printf("medians of 3 runs, ms; load = read, decode and set into a fresh editor until painted\n");
    printf("%-21s %12s %12s %12s %12s\n", "document", "decode only", "load", "save", "plain write");
    for (const Content& content : contents) {
        for (size_t megabytes : {1, 5, 10}) Measure(content, megabytes);
    }
    Measure(wrapped, 10);
    MeasureReplace(1);
    return 0;
}
