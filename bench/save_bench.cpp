// Where a save of 10 MB spends its time: each stage of WriteTextFile timed
// on its own (reading the text out of the control, converting it to UTF-8,
// the temporary file's name, the write, the flush, the close, ReplaceFileW),
// then the whole save, next to a plain WriteFile of the same bytes, with
// word wrap off and on; the earlier way of reading and converting, and
// other ways the control offers to read its text. Medians of five runs.
#include <cstdio>
#include <functional>
#include <memory>

#include <richedit.h>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "view/view.h"

namespace {

constexpr int Runs = 5;

struct Stage {
    const char* name;
    std::vector<double> times;
};

double Time(const std::function<void()>& action) {
    double start = NowMs();
    action();
    return NowMs() - start;
}

// As the saver reads: into a buffer that is not cleared first.
std::unique_ptr<wchar_t[]> ReadText(size_t& count) {
    int length = GetWindowTextLengthW(EditControl);
    std::unique_ptr<wchar_t[]> text(new wchar_t[static_cast<size_t>(length) + 1]);
    count = SendMessageW(EditControl, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.get()));
    return text;
}

// As the saver read before: GetWindowTextW into a cleared string, and two
// WideCharToMultiByte passes.
std::wstring ReadTextCleared() {
    int length = GetWindowTextLengthW(EditControl);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(EditControl, text.data(), length + 1));
    return text;
}

std::string ConvertTwoPasses(const std::wstring& text) {
    int count = static_cast<int>(text.size());
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    std::string bytes(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), count, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

DWORD CALLBACK CollectStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), size);
    *done = size;
    return 0;
}

std::string StreamOut(WPARAM format) {
    std::string out;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&out), 0, CollectStream};
    SendMessageW(EditControl, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    return out;
}

// Other ways to read the text out, for comparison.
void MeasureReads() {
    std::vector<double> length, getText, getTextEx, getTextExUtf8, streamUnicode, streamUtf8;
    for (int run = 0; run < Runs; ++run) {
        int characters = 0;
        length.push_back(Time([&] { characters = GetWindowTextLengthW(EditControl); }));
        std::wstring text(characters + 1, L'\0');
        getText.push_back(Time([&] {
            SendMessageW(EditControl, WM_GETTEXT, characters + 1, reinterpret_cast<LPARAM>(text.data()));
        }));
        getTextEx.push_back(Time([&] {
            GETTEXTEX how = {static_cast<DWORD>((characters + 1) * 2), GT_USECRLF, 1200, nullptr, nullptr};
            SendMessageW(EditControl, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                         reinterpret_cast<LPARAM>(text.data()));
        }));
        std::string utf8(characters * 3 + 1, '\0');
        getTextExUtf8.push_back(Time([&] {
            GETTEXTEX how = {static_cast<DWORD>(utf8.size()), GT_USECRLF, CP_UTF8, nullptr, nullptr};
            SendMessageW(EditControl, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                         reinterpret_cast<LPARAM>(utf8.data()));
        }));
        streamUnicode.push_back(Time([&] { StreamOut(SF_TEXT | SF_UNICODE); }));
        streamUtf8.push_back(Time([&] { StreamOut(SF_TEXT | SF_USECODEPAGE | (CP_UTF8 << 16)); }));
    }
    printf("  %-24s %8.1f\n", "WM_GETTEXTLENGTH", Median(length));
    printf("  %-24s %8.1f\n", "WM_GETTEXT", Median(getText));
    printf("  %-24s %8.1f\n", "EM_GETTEXTEX 1200", Median(getTextEx));
    printf("  %-24s %8.1f\n", "EM_GETTEXTEX UTF-8", Median(getTextExUtf8));
    printf("  %-24s %8.1f\n", "EM_STREAMOUT Unicode", Median(streamUnicode));
    printf("  %-24s %8.1f\n", "EM_STREAMOUT UTF-8", Median(streamUtf8));
}

std::wstring BesideBench(const wchar_t* name) { return WriteBenchFile(name, ""); }

void MeasureStages(bool wrap) {
    StartBenchEditor();
    if (wrap != Autowrap) ToggleAutoWrap();
    std::wstring source = WriteBenchFile(L"save10.txt", MakeAsciiLines(10485760));
    LoadTextFile(MainWindow, EditControl, source.c_str());
    ResetView();
    PumpBenchMessages();

    std::wstring target = BesideBench(L"target.txt");
    std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    Stage stages[] = {{"read text", {}},       {"to UTF-8, in place", {}},
                      {"temporary name", {}},  {"WriteFile", {}},
                      {"flush", {}},           {"close", {}},
                      {"ReplaceFileW", {}},    {"whole save", {}},
                      {"plain WriteFile", {}}, {"old: read, cleared", {}},
                      {"old: to UTF-8", {}}};
    for (int run = 0; run < Runs; ++run) {
        std::unique_ptr<wchar_t[]> text;
        size_t count = 0;
        std::string bytes;
        stages[0].times.push_back(Time([&] { text = ReadText(count); }));
        stages[1].times.push_back(Time([&] { NarrowAsciiInPlace(text.get(), count); }));
        bytes.assign(reinterpret_cast<const char*>(text.get()), count);
        wchar_t temporary[MAX_PATH] = {};
        stages[2].times.push_back(Time([&] { GetTempFileNameW(folder.c_str(), L"tav", 0, temporary); }));
        HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        stages[3].times.push_back(Time(
            [&] { WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr); }));
        stages[4].times.push_back(Time([&] { FlushFileBuffers(file); }));
        stages[5].times.push_back(Time([&] { CloseHandle(file); }));
        std::wstring backup = folder + L"backup.tmp";
        stages[6].times.push_back(Time([&] {
            ReplaceFileW(target.c_str(), temporary, backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                         nullptr);
            DeleteFileW(backup.c_str());
        }));
        stages[7].times.push_back(Time([&] { WriteTextFile(EditControl, target.c_str()); }));
        std::wstring plain = folder + L"plain.txt";
        stages[8].times.push_back(Time([&] { WriteBytesTo(plain, bytes); }));
        text.reset();
        std::wstring old;
        stages[9].times.push_back(Time([&] { old = ReadTextCleared(); }));
        stages[10].times.push_back(Time([&] { ConvertTwoPasses(old); }));
    }
    printf("word wrap %s, 10 MB ASCII, medians of %d runs, ms\n", wrap ? "on" : "off", Runs);
    for (Stage& stage : stages) printf("  %-24s %8.1f\n", stage.name, Median(stage.times));
    MeasureReads();
    StopBenchEditor();
}

}  // namespace

int main() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    MeasureStages(false);
    MeasureStages(true);
    return 0;
}
