// What the paragraph index and the normalisation of line breaks cost on a
// 10 MB text of 200,000 CR LF lines: normalising it (into a copy and in
// place), building the index, the index's memory, and one edit at the
// start, in the middle and at the end (a typed character, Enter, and a
// Backspace that joins two lines). Medians; no window is created.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <functional>
#include <string>

#include "bench_support.h"
#include "document/document.h"
#include "document/paragraph_index.h"

namespace {

constexpr int LineCount = 200000;

// Lines of 40 to 60 ASCII letters, about 10 MB with their CR LF.
std::wstring MakeText() {
    std::wstring text;
    text.reserve(LineCount * 53);
    unsigned state = 1;
    for (int line = 0; line < LineCount; ++line) {
        state = state * 1103515245 + 12345;
        int length = 40 + static_cast<int>(state >> 16) % 21;
        for (int i = 0; i < length; ++i) text += static_cast<wchar_t>(L'a' + (line + i) % 26);
        text += L"\r\n";
    }
    return text;
}

double MedianMs(int runs, const std::function<void()>& setup, const std::function<void()>& action) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        setup();
        double start = NowMs();
        action();
        times.push_back(NowMs() - start);
    }
    return Median(times);
}

// Wine 8 leaves PrivateUsage at 0; the committed memory it reports is here.
SIZE_T CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

}  // namespace

int main() {
    const std::wstring original = MakeText();
    printf("text: %zu units, %d lines\n\n", original.size(), LineCount);

    // First, while no memory has been freed that the heap could hand back.
    ParagraphIndex index;
    SIZE_T before = CommittedBytes();
    double start = NowMs();
    index.Reset(original);
    printf("%-44s %9.2f ms\n", "Reset, a first build", NowMs() - start);
    printf("%-44s %9.0f KB\n", "its memory (committed)", (CommittedBytes() - before) / 1024.0);
    printf("%-44s %9.2f ms\n", "Reset again, a rebuild", MedianMs(5, [] {}, [&] { index.Reset(original); }));

    std::wstring text;
    printf("%-44s %9.2f ms\n", "NormalizeLineBreaks (a copy)",
           MedianMs(5, [] {}, [&] { text = NormalizeLineBreaks(original); }));
    std::wstring work;
    printf("%-44s %9.2f ms\n", "NormalizeLineBreaksInPlace",
           MedianMs(5, [&] { work = original; }, [&] { NormalizeLineBreaksInPlace(work); }));
    index.Reset(text);

    struct Place {
        const char* name;
        LONG at;
    } places[] = {{"start", 1}, {"middle", index.ParagraphStart(LineCount / 2) + 1}, {"end", index.Length() - 3}};
    const int runs = 201;
    for (const Place& place : places) {
        char label[64];
        snprintf(label, sizeof(label), "typed character, %s", place.name);
        printf("%-44s %9.1f us\n", label,
               1000 * MedianMs(runs, [&] { index.Reset(text); }, [&] { index.Replace(place.at, 0, L"x"); }));
        snprintf(label, sizeof(label), "Enter, %s", place.name);
        printf("%-44s %9.1f us\n", label,
               1000 * MedianMs(runs, [&] { index.Reset(text); }, [&] { index.Replace(place.at, 0, L"\r"); }));
        LONG mark = index.ParagraphStart(index.ParagraphOf(place.at) + 1) - 1;
        snprintf(label, sizeof(label), "Backspace joining two lines, %s", place.name);
        printf("%-44s %9.1f us\n", label,
               1000 * MedianMs(runs, [&] { index.Reset(text); }, [&] { index.Replace(mark, 1, L""); }));
    }
    return 0;
}
