// Start-up of the editor in-process, with no file, as a baseline.
#include <cstdio>

#include "bench_support.h"

int main() {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        double start = NowMs();
        StartBenchEditor();
        runs.push_back(NowMs() - start);
        StopBenchEditor();
    }
    printf("%-28s %10s\n", "measurement", "median ms");
    printf("%-28s %10.1f\n", "start-up, no file", Median(runs));
    return 0;
}
