// The peer benchmark's driver: starts Tavilo (wrap off and on), the bare
// rich edit control (the floor, wrap off and on), WordPad and Notepad as
// separate processes on the same generated files, drives them with real
// key input, and prints the table of medians (scripts/bench-peers.sh runs it).
//
//   peer_driver.exe --data DIR --csv FILE --tavilo-off EXE --tavilo-on EXE
//                   --bare EXE --wordpad EXE --notepad EXE
//                   [--runs N] [--files a,b] [--programs a,b]
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_support.h"
#include "peer_process.h"
#include "peer_report.h"

constexpr size_t MiB = 1048576;
constexpr double OpenTimeoutMs = 120000;
constexpr double KeyTimeoutMs = 60000;
constexpr double ReplaceTimeoutMs = 60000;
constexpr double NoEffectAfterMs = 1500;  // idle this long without the effect: the input was refused
constexpr int ReplaceMatches = 50000;
const wchar_t ReplaceWith[] = L"7R7R";  // one character longer than the token

enum class Kind { Tavilo, Bare, WordPad, Notepad };

struct Program {
    const char* name;
    Kind kind;
    std::wstring exe;
    std::wstring flags;
};

struct DataFile {
    const char* name;
    const char* label;
    std::string bytes;
    bool keys;     // Ctrl+End, typing and memory are measured on it
    bool replace;  // Replace All is measured on it
};

struct Options {
    std::wstring data, csv, taviloOff, taviloOn, bare, wordPad, notepad;
    int runs = 3;
    std::string files, programs;  // comma lists; empty for all
};

static std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

static bool Listed(const std::string& list, const char* name) {
    return list.empty() || ("," + list + ",").find(std::string(",") + name + ",") != std::string::npos;
}

// A file that ends in the middle of a line break would be read differently
// by different programs.
static std::string EndWithLineBreak(std::string text) {
    text[text.size() - 2] = '\r';
    text[text.size() - 1] = '\n';
    return text;
}

static std::vector<DataFile> MakeDataFiles() {
    std::vector<DataFile> files;
    files.push_back({"ascii1.txt", "1 MB", EndWithLineBreak(MakeAsciiLines(1 * MiB)), false, false});
    files.push_back({"ascii5.txt", "5 MB", EndWithLineBreak(MakeAsciiLines(5 * MiB)), false, false});
    files.push_back({"ascii10.txt", "10 MB", EndWithLineBreak(MakeAsciiLines(10 * MiB)), true, false});
    files.push_back({"log10.txt", "10 MB log", EndWithLineBreak(MakeLogLines(10 * MiB)), true, false});
    files.push_back(
        {"long10.txt", "10 MB long lines", EndWithLineBreak(MakeLongLines(10 * MiB, 10)), true, false});
    files.push_back({"replace2.txt", "2 MB", EndWithLineBreak(MakeReplaceDocument(2 * MiB, ReplaceMatches)),
                     false, true});
    return files;
}

static long LineBreaks(const std::string& bytes) {
    long count = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) count += bytes[i] == '\r' && bytes[i + 1] == '\n';
    return count;
}

static std::wstring CommandLine(const Program& program, const std::wstring& file) {
    std::wstring line = L"\"" + program.exe + L"\"";
    if (!program.flags.empty()) line += L" " + program.flags;
    if (!file.empty()) line += L" \"" + file + L"\"";
    return line;
}

static bool ShowsFile(const Peer& peer, const char* name, long minimumLength) {
    if (WindowTitle(peer.top).find(Widen(name)) == std::wstring::npos) return false;
    return TextLength(peer.editor) >= minimumLength;
}

// Starts the program on the file and waits until its window shows the
// whole file and is idle; the time from process start to that, or a note.
static std::string OpenPeer(const Program& program, const std::wstring& path, const DataFile& file,
                            Peer& peer, double& elapsed) {
    double start = NowMs();
    if (!StartPeer(CommandLine(program, path), peer)) return "not started";
    double deadline = start + OpenTimeoutMs;
    while (!peer.top || !peer.editor) {
        if (NowMs() > deadline) return "time-out";
        peer.top = FindMainWindow(peer.process.dwProcessId);
        if (peer.top) peer.editor = FindEditor(peer.top);
        if (!peer.editor) Sleep(1);
    }
    long minimum = static_cast<long>(file.bytes.size()) - LineBreaks(file.bytes);
    if (!WaitUntil(
            peer.top, [&] { return ShowsFile(peer, file.name, minimum); }, deadline))
        return "time-out";
    elapsed = NowMs() - start;
    return "";
}

enum class Outcome { Done, TimedOut, NoEffect, Skipped };

// After an input: waits for its effect and then for idle. An input that
// leaves the window idle without the effect for a while was refused.
static Outcome AwaitEffect(HWND top, const std::function<bool()>& done, double deadline) {
    double idleSince = -1;
    while (!done()) {
        double now = NowMs();
        if (now > deadline) return Outcome::TimedOut;
        if (IsIdle(top)) {
            if (idleSince < 0) idleSince = now;
            if (now - idleSince > NoEffectAfterMs && !done()) return Outcome::NoEffect;
        } else {
            idleSince = -1;
        }
        Sleep(1);
    }
    return WaitUntil(
               top, [] { return true; }, deadline)
               ? Outcome::Done
               : Outcome::TimedOut;
}

// Times one input from the moment it is sent to its effect and idle.
static Outcome TimeInput(const std::string& measurement, const Program& program, int run, const Peer& peer,
                         const std::function<void()>& send, const std::function<bool()>& done,
                         double timeout) {
    if (HasFailed(measurement, program.name)) return Outcome::Skipped;
    BringToFront(peer.top);
    double start = NowMs();
    send();
    Outcome outcome = AwaitEffect(peer.top, done, start + timeout);
    if (outcome == Outcome::TimedOut) RecordTimeOut(measurement, program.name, run, timeout);
    if (outcome == Outcome::NoEffect) RecordFailure(measurement, program.name, run, "no effect");
    if (outcome == Outcome::Done) RecordSample(measurement, program.name, run, NowMs() - start);
    return outcome;
}

static bool TitleMarksUnsaved(const Peer& peer) {
    return WindowTitle(peer.top).find(L"*") != std::wstring::npos;
}

static void TypeAndWait(const std::string& measurement, const Program& program, int run, const Peer& peer) {
    long before = TextLength(peer.editor);
    bool tavilo = program.kind == Kind::Tavilo;
    TimeInput(
        measurement, program, run, peer, [] { TypeCharacter(L'x'); },
        [&] { return TextLength(peer.editor) == before + 1 && (!tavilo || TitleMarksUnsaved(peer)); },
        KeyTimeoutMs);
}

static void MeasureKeys(const Program& program, const DataFile& file, int run, const Peer& peer) {
    std::string suffix = std::string(" ") + file.label;
    RecordSample("memory" + suffix, program.name, run, PeakMemory(peer.process.hProcess) / double(MiB));
    TimeInput(
        "Ctrl+End" + suffix, program, run, peer,
        [] {
            PressKeys({VK_CONTROL, VK_END});
        },
        [&] { return CaretPosition(peer.editor) > 0; }, KeyTimeoutMs);
    TypeAndWait("type at end" + suffix, program, run, peer);
    BringToFront(peer.top);
    PressKeys({VK_CONTROL, VK_HOME});
    AwaitEffect(
        peer.top, [&] { return CaretPosition(peer.editor) == 0; }, NowMs() + KeyTimeoutMs);
    TypeAndWait("type at start" + suffix, program, run, peer);
    // The caret is put next to the middle by the editor's own message (no
    // key takes it there) and onto it with a key, as a user's key ends a run
    // of typing where a message does not (under Wine the Undo would take the
    // character typed at the start back too). Only what follows is timed.
    long middle = TextLength(peer.editor) / 2;
    BringToFront(peer.top);
    SendMessageW(peer.editor, EM_SETSEL, middle - 1, middle - 1);
    SendMessageW(peer.editor, EM_SCROLLCARET, 0, 0);
    PressKeys({VK_RIGHT});
    WaitUntil(
        peer.top, [&] { return CaretPosition(peer.editor) >= middle; }, NowMs() + KeyTimeoutMs);
    TypeAndWait("type in middle" + suffix, program, run, peer);
    long typed = TextLength(peer.editor);
    TimeInput(
        "Undo in middle" + suffix, program, run, peer,
        [] {
            PressKeys({VK_CONTROL, 'Z'});
        },
        [&] { return TextLength(peer.editor) < typed; }, KeyTimeoutMs);
}

static LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return -1;
    return (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// Tavilo warns before it saves a file too large to be opened again, as the
// 10 MB file with the characters typed into it is: Yes goes on with the save.
static bool AnswerOversizeWarning(const Peer& peer) {
    HWND box = FindDialog(peer.process.dwProcessId, peer.top);
    HWND yes = box ? FindButton(box, L"Yes") : nullptr;
    if (!yes ||
        WindowTitle(GetDlgItem(box, 0xFFFF)).rfind(L"The saved file will be larger than 10MB", 0) != 0)
        return false;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(yes));
    return true;
}

// Ctrl+S on the document the typing left modified, the warning answered:
// done when the title no longer marks it unsaved.
static void MeasureSave(const Program& program, const DataFile& file, int run, const Peer& peer,
                        const std::wstring& path) {
    std::string measurement = std::string("save ") + file.label;
    bool answered = false;
    Outcome outcome = TimeInput(
        measurement, program, run, peer,
        [] {
            PressKeys({VK_CONTROL, 'S'});
        },
        [&] {
            if (!answered) answered = AnswerOversizeWarning(peer);
            return !TitleMarksUnsaved(peer);
        },
        KeyTimeoutMs);
    if (outcome == Outcome::Done && FileSize(path) < static_cast<LONGLONG>(file.bytes.size())) {
        RecordFailure(measurement, program.name, run, "short file");
    }
}

static void MeasurePlainWrite(const DataFile& file, int run, const std::wstring& folder) {
    std::string bytes = file.bytes + "xx";  // what the save writes after the two typed characters
    double start = NowMs();
    bool written = WriteBytesTo(folder + L"\\plain.txt", bytes);
    double elapsed = NowMs() - start;
    if (written) RecordSample(std::string("save ") + file.label, PlainWrite, run, elapsed);
}

// Opens the program's Replace dialog with Ctrl+H, fills in the token and
// its replacement, and times Replace All until the text has them all.
static void MeasureReplaceAll(const Program& program, const DataFile& file, int run, const Peer& peer) {
    std::string measurement = std::string("Replace All ") + file.label;
    if (HasFailed(measurement, program.name)) return;
    BringToFront(peer.top);
    PressKeys({VK_CONTROL, 'H'});
    HWND dialog = nullptr;
    double deadline = NowMs() + KeyTimeoutMs;
    while (!(dialog = FindDialog(peer.process.dwProcessId, peer.top)) && NowMs() < deadline) Sleep(5);
    HWND button = dialog ? FindButton(dialog, L"Replace All") : nullptr;
    if (!button) {
        RecordFailure(measurement, program.name, run, "no dialog");
        return;
    }
    SetControlText(FindChild(dialog, L"Edit", 0), Widen(ReplaceToken));
    SetControlText(FindChild(dialog, L"Edit", 1), ReplaceWith);
    long before = TextLength(peer.editor);
    long expected = before + ReplaceMatches;
    Outcome outcome = TimeInput(
        measurement, program, run, peer,
        [&] {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        },
        [&] { return TextLength(FindEditor(peer.top)) == expected; }, ReplaceTimeoutMs);
    if (outcome == Outcome::NoEffect && TextLength(FindEditor(peer.top)) != before) {
        RecordFailure(measurement, program.name, run, "wrong result");
    }
}

static bool CanReplace(const Program& program) {
    return program.kind == Kind::Tavilo || program.kind == Kind::WordPad;
}

// The Replace All document is opened only by the programs that replace,
// and by the floor for its load.
static bool TakesFile(const Program& program, const DataFile& file) {
    return !file.replace || CanReplace(program) || program.name == std::string(BareOff);
}

static void RunSession(const Program& program, const DataFile& file, int run, const Options& options) {
    std::string openMeasurement = std::string("open ") + file.label;
    if (!TakesFile(program, file) || HasFailed(openMeasurement, program.name)) return;
    // A fresh copy every time: a save or an earlier run must not change it.
    std::wstring folder = options.data + L"\\work";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + Widen(file.name);
    WriteBytesTo(path, file.bytes);

    Peer peer;
    double elapsed = 0;
    std::string note = OpenPeer(program, path, file, peer, elapsed);
    if (note == "time-out") {
        RecordTimeOut(openMeasurement, program.name, run, OpenTimeoutMs);
    } else if (!note.empty()) {
        RecordFailure(openMeasurement, program.name, run, note);
    } else {
        RecordSample(openMeasurement, program.name, run, elapsed);
        if (file.keys) MeasureKeys(program, file, run, peer);
        if (file.keys && program.kind == Kind::Tavilo && file.label == std::string("10 MB")) {
            MeasureSave(program, file, run, peer, path);
        }
        if (file.replace && CanReplace(program)) {
            MeasureReplaceAll(program, file, run, peer);
        }
    }
    EndPeer(peer);
}

static void MeasureStartup(const Program& program, int run) {
    const char* measurement = "start-up";
    if (HasFailed(measurement, program.name)) return;
    Peer peer;
    double start = NowMs();
    bool ok = StartPeer(CommandLine(program, L""), peer);
    double deadline = start + OpenTimeoutMs;
    while (ok && !(peer.top = FindMainWindow(peer.process.dwProcessId))) {
        ok = NowMs() < deadline;
        Sleep(1);
    }
    if (ok && WaitUntil(
                  peer.top, [] { return true; }, deadline)) {
        RecordSample(measurement, program.name, run, NowMs() - start);
    } else {
        RecordTimeOut(measurement, program.name, run, OpenTimeoutMs);
    }
    EndPeer(peer);
}

static std::vector<TableRow> TableRows(const std::vector<DataFile>& files) {
    std::vector<TableRow> rows;
    for (const DataFile& file : files) {
        std::string label = file.label;
        bool ten = file.keys;
        rows.push_back({"open " + label, "open " + label, ten ? Target::Open : Target::None, ""});
    }
    for (const char* what :
         {"Ctrl+End", "type at end", "type at start", "type in middle", "Undo in middle"}) {
        for (const DataFile& file : files) {
            if (!file.keys) continue;
            std::string name = std::string(what) + " " + file.label;
            rows.push_back({name, name, Target::Keys, ""});
        }
    }
    rows.push_back({"Replace All 50,000 in 2 MB", "Replace All 2 MB", Target::ReplaceAll, "open 2 MB"});
    rows.push_back({"save 10 MB (floor: WriteFile)", "save 10 MB", Target::Save, ""});
    for (const DataFile& file : files) {
        if (!file.keys) continue;
        std::string name = std::string("memory ") + file.label;
        rows.push_back({"peak MB, " + std::string(file.label), name, Target::Memory, ""});
    }
    rows.push_back({"start-up, no file", "start-up", Target::Startup, ""});
    return rows;
}

static bool ParseOptions(int count, wchar_t** arguments, Options& options) {
    for (int i = 1; i + 1 < count; i += 2) {
        std::wstring name = arguments[i], value = arguments[i + 1];
        std::string narrow(value.begin(), value.end());
        if (name == L"--data")
            options.data = value;
        else if (name == L"--csv")
            options.csv = value;
        else if (name == L"--tavilo-off")
            options.taviloOff = value;
        else if (name == L"--tavilo-on")
            options.taviloOn = value;
        else if (name == L"--bare")
            options.bare = value;
        else if (name == L"--wordpad")
            options.wordPad = value;
        else if (name == L"--notepad")
            options.notepad = value;
        else if (name == L"--runs")
            options.runs = _wtoi(value.c_str());
        else if (name == L"--files")
            options.files = narrow;
        else if (name == L"--programs")
            options.programs = narrow;
        else
            return false;
    }
    return !options.data.empty() && !options.csv.empty() && options.runs > 0;
}

int wmain(int count, wchar_t** arguments) {
    Options options;
    if (!ParseOptions(count, arguments, options)) {
        fprintf(stderr,
                "usage: peer_driver --data DIR --csv FILE --tavilo-off EXE --tavilo-on EXE --bare EXE "
                "--wordpad EXE --notepad EXE [--runs N] [--files a,b] [--programs a,b]\n");
        return 2;
    }
    if (!OpenResultFile(options.csv)) {
        fprintf(stderr, "cannot write %ls\n", options.csv.c_str());
        return 1;
    }
    std::vector<Program> all = {
        {BareOff, Kind::Bare, options.bare, L""},          {BareOn, Kind::Bare, options.bare, L"-wrap"},
        {TaviloOff, Kind::Tavilo, options.taviloOff, L""}, {TaviloOn, Kind::Tavilo, options.taviloOn, L""},
        {WordPad, Kind::WordPad, options.wordPad, L""},    {Notepad, Kind::Notepad, options.notepad, L""}};
    std::vector<Program> programs;
    for (const Program& program : all) {
        if (Listed(options.programs, program.name)) programs.push_back(program);
    }
    std::vector<DataFile> files;
    for (DataFile& file : MakeDataFiles()) {
        if (Listed(options.files, file.name)) files.push_back(std::move(file));
    }

    for (int run = 1; run <= options.runs; ++run) {
        fprintf(stderr, "run %d of %d\n", run, options.runs);
        for (const Program& program : programs) MeasureStartup(program, run);
        for (const DataFile& file : files) {
            for (const Program& program : programs) RunSession(program, file, run, options);
            if (file.keys && file.label == std::string("10 MB")) MeasurePlainWrite(file, run, options.data);
        }
    }
    PrintTable(TableRows(files));
    return 0;
}
