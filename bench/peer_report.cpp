// Results of the peer benchmark: CSV lines as they come, and the table.
#include "peer_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "bench_support.h"

const char* const TaviloOff = "tavilo-off";
const char* const TaviloOn = "tavilo-on";
const char* const BareOff = "bare-off";
const char* const BareOn = "bare-on";
const char* const WordPad = "wordpad";
const char* const Notepad = "notepad";
const char* const PlainWrite = "writefile";

struct Samples {
    std::vector<double> values;
    std::string failure;   // the first run's note that gave no value
    double atLeast = NAN;  // after a time-out: how long it ran without finishing
};

static std::map<std::pair<std::string, std::string>, Samples> AllSamples;
static FILE* ResultFile = nullptr;

bool OpenResultFile(const std::wstring& path) {
    ResultFile = _wfopen(path.c_str(), L"w");
    if (!ResultFile) return false;
    fprintf(ResultFile, "measurement,program,run,value,note\n");
    fflush(ResultFile);
    return true;
}

static void AppendLine(const std::string& measurement, const char* program, int run, const std::string& value,
                       const std::string& note) {
    fprintf(stderr, "run %d %-24s %-10s %10s %s\n", run, measurement.c_str(), program, value.c_str(),
            note.c_str());
    if (!ResultFile) return;
    fprintf(ResultFile, "%s,%s,%d,%s,%s\n", measurement.c_str(), program, run, value.c_str(), note.c_str());
    fflush(ResultFile);
}

void RecordSample(const std::string& measurement, const char* program, int run, double value) {
    AllSamples[{measurement, program}].values.push_back(value);
    char text[32];
    snprintf(text, sizeof(text), "%.2f", value);
    AppendLine(measurement, program, run, text, "");
}

void RecordFailure(const std::string& measurement, const char* program, int run, const std::string& note) {
    Samples& samples = AllSamples[{measurement, program}];
    if (samples.failure.empty()) samples.failure = note;
    AppendLine(measurement, program, run, "", note);
}

void RecordTimeOut(const std::string& measurement, const char* program, int run, double waited) {
    char note[32];
    snprintf(note, sizeof(note), "> %.0f s", waited / 1000);
    RecordFailure(measurement, program, run, note);
    Samples& samples = AllSamples[{measurement, program}];
    if (std::isnan(samples.atLeast)) samples.atLeast = waited;
}

bool HasFailed(const std::string& measurement, const char* program) {
    auto found = AllSamples.find({measurement, program});
    return found != AllSamples.end() && !found->second.failure.empty();
}

// The median, or NAN when some run gave no value or none was taken.
static double MedianOf(const std::string& measurement, const char* program) {
    auto found = AllSamples.find({measurement, program});
    if (found == AllSamples.end() || !found->second.failure.empty()) return NAN;
    if (found->second.values.empty()) return NAN;
    return Median(found->second.values);
}

// What Tavilo is compared with: the median, or, for a program that timed
// out, the time it ran, which it took at least.
static double BoundOf(const std::string& measurement, const char* program) {
    double median = MedianOf(measurement, program);
    if (!std::isnan(median)) return median;
    auto found = AllSamples.find({measurement, program});
    return found == AllSamples.end() ? NAN : found->second.atLeast;
}

static std::string CellText(const std::string& measurement, const char* program) {
    auto found = AllSamples.find({measurement, program});
    if (found == AllSamples.end()) return "-";
    if (!found->second.failure.empty()) return found->second.failure;
    double value = MedianOf(measurement, program);
    char text[32];
    snprintf(text, sizeof(text), value < 10 ? "%.1f" : "%.0f", value);
    return text;
}

static std::string RatioText(double value, double base, const std::string& measurement, const char* program) {
    if (std::isnan(value) || std::isnan(base) || base <= 0) return "-";
    bool lowerBound = std::isnan(MedianOf(measurement, program));
    char text[32];
    snprintf(text, sizeof(text), "%s%.2fx", lowerBound ? "<" : "", value / base);
    return text;
}

struct RowValues {
    double off, on, floorOff, floorOn, wordPad, notepad, worst;
};

static RowValues ValuesOf(const TableRow& row) {
    bool save = row.target == Target::Save;
    RowValues v;
    v.off = MedianOf(row.measurement, TaviloOff);
    v.on = MedianOf(row.measurement, TaviloOn);
    v.floorOff = BoundOf(row.measurement, save ? PlainWrite : BareOff);
    v.floorOn = BoundOf(row.measurement, save ? PlainWrite : BareOn);
    v.wordPad = BoundOf(row.measurement, WordPad);
    v.notepad = BoundOf(row.measurement, Notepad);
    v.worst = std::max(v.off, v.on);  // NAN when either is
    if (std::isnan(v.off) || std::isnan(v.on)) v.worst = NAN;
    return v;
}

// One bound of a target: Tavilo's value must not exceed the bound. A value
// missing because the run failed misses it; a missing bound (a peer that
// failed) cannot be judged.
struct Bound {
    double value, bound;
    const char* missed;
};

static std::string Verdict(const std::vector<Bound>& bounds) {
    std::string unjudged;
    for (const Bound& b : bounds) {
        if (std::isnan(b.bound)) {
            unjudged = b.missed;
        } else if (std::isnan(b.value) || b.value > b.bound) {
            return std::string("missed: ") + b.missed;
        }
    }
    return unjudged.empty() ? "met" : std::string("met, but not judged: ") + unjudged;
}

// Nothing above 100 ms where the bare control stays below 20 ms.
static double FreezeBound(double floor) { return std::isnan(floor) ? NAN : floor < 20 ? 100 : INFINITY; }

static bool Measured(const TableRow& row, const char* program) {
    return AllSamples.count({row.measurement, program}) != 0;
}

static std::string TargetText(const TableRow& row, const RowValues& v) {
    if (!Measured(row, TaviloOff) && !Measured(row, TaviloOn)) return "";
    switch (row.target) {
    case Target::None: return "";
    case Target::Open:
        return Verdict({{v.off, 1.3 * v.floorOff, "wrap off > 1.3x floor"},
                        {v.on, 1.3 * v.floorOn, "wrap on > 1.3x floor"},
                        {v.worst, v.wordPad, "slower than WordPad"}});
    case Target::Keys:
        return Verdict({{v.off, 2 * v.floorOff, "wrap off > 2x floor"},
                        {v.on, 2 * v.floorOn, "wrap on > 2x floor"},
                        {v.off, FreezeBound(v.floorOff), "freeze, wrap off"},
                        {v.on, FreezeBound(v.floorOn), "freeze, wrap on"}});
    case Target::ReplaceAll:
        return Verdict({{v.off, MedianOf(row.loadMeasurement, TaviloOff), "wrap off slower than its load"},
                        {v.on, MedianOf(row.loadMeasurement, TaviloOn), "wrap on slower than its load"},
                        {v.worst, v.wordPad, "not faster than WordPad"}});
    case Target::Save:
        return Verdict({{v.off, 2 * v.floorOff, "wrap off > 2x WriteFile"},
                        {v.on, 2 * v.floorOn, "wrap on > 2x WriteFile"}});
    case Target::Memory: return Verdict({{v.worst, 0.5 * v.wordPad, "more than half of WordPad's"}});
    case Target::Startup: return Verdict({{v.worst, 1.2 * v.notepad, "> 1.2x Notepad"}});
    }
    return "";
}

void PrintTable(const std::vector<TableRow>& rows) {
    const char* format = "| %-30s | %10s | %10s | %10s | %10s | %10s | %10s | %8s | %8s | %8s | %8s | %s\n";
    printf(format, "measurement", "Tavilo off", "Tavilo on", "floor off", "floor on", "WordPad", "Notepad",
           "off/flr", "on/flr", "T/WP", "T/NP", "target |");
    printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|---|\n", std::string(32, '-').c_str(),
           std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(12, '-').c_str(),
           std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(12, '-').c_str(),
           std::string(10, '-').c_str(), std::string(10, '-').c_str(), std::string(10, '-').c_str(),
           std::string(10, '-').c_str());
    for (const TableRow& row : rows) {
        bool save = row.target == Target::Save;
        const char* floorOff = save ? PlainWrite : BareOff;
        const char* floorOn = save ? PlainWrite : BareOn;
        RowValues v = ValuesOf(row);
        std::string target = TargetText(row, v) + " |";
        printf(format, row.label.c_str(), CellText(row.measurement, TaviloOff).c_str(),
               CellText(row.measurement, TaviloOn).c_str(), CellText(row.measurement, floorOff).c_str(),
               CellText(row.measurement, floorOn).c_str(), CellText(row.measurement, WordPad).c_str(),
               CellText(row.measurement, Notepad).c_str(),
               RatioText(v.off, v.floorOff, row.measurement, floorOff).c_str(),
               RatioText(v.on, v.floorOn, row.measurement, floorOn).c_str(),
               RatioText(v.worst, v.wordPad, row.measurement, WordPad).c_str(),
               RatioText(v.worst, v.notepad, row.measurement, Notepad).c_str(), target.c_str());
    }
    fflush(stdout);
}
