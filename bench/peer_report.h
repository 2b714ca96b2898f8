// The peer benchmark's results: every run's sample as a CSV line, and the
// table of medians with the ratios to the floor and the peers and whether
// each target holds.
#pragma once

#include <string>
#include <vector>

// Column names of the programs measured; "writefile" is the plain write
// that stands as the floor of a save.
extern const char* const TaviloOff;
extern const char* const TaviloOn;
extern const char* const BareOff;
extern const char* const BareOn;
extern const char* const WordPad;
extern const char* const Notepad;
extern const char* const PlainWrite;

// Starts the CSV file (a header line); every sample is appended at once,
// and shown on stderr as progress.
bool OpenResultFile(const std::wstring& path);
// A measured value, or a note instead of one ("time-out", "no effect"...).
void RecordSample(const std::string& measurement, const char* program, int run, double value);
void RecordFailure(const std::string& measurement, const char* program, int run, const std::string& note);
// A run that did not finish within `waited` ms: a lower bound for comparisons.
void RecordTimeOut(const std::string& measurement, const char* program, int run, double waited);
// A measurement that failed once is not repeated in later runs.
bool HasFailed(const std::string& measurement, const char* program);

enum class Target { None, Open, Keys, ReplaceAll, Save, Memory, Startup };
struct TableRow {
    std::string label;
    std::string measurement;
    Target target;
    std::string loadMeasurement;  // ReplaceAll: the open of the same document
};
// Prints the table of medians in Markdown; floors are the bare control's
// columns (the plain write's for a save).
void PrintTable(const std::vector<TableRow>& rows);
