// Replacing a large document: Open of 1 MB, New and a dropped 1 MB file
// over an open 10 MB document, each from the command until the editor is
// idle (medians of three runs). Next to them, what putting a text into the
// control over an old one costs when the control is kept: Wine's control
// deletes the old text in time that grows much faster than its size, so
// that route is timed only for small old texts.
#include <cstdio>
#include <functional>

#include <richedit.h>
#include <shlobj.h>

#include "app/app.h"
#include "bench_support.h"
#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

double TimeUntilIdle(const std::function<void()>& action) {
    double start = NowMs();
    action();
    PumpUntilIdle();
    return NowMs() - start;
}

// What the Open command does once its dialog has returned the path.
void OpenPath(const std::wstring& path) {
    if (!PassesPreloadChecks(MainWindow, path.c_str(), LoadCaller::OpenCommand)) return;
    if (LoadTextFile(MainWindow, EditControl, path.c_str())) SetDocumentPath(path.c_str());
    ClearModified();
    ResetView();
}

// A drop as the shell delivers it: WM_DROPFILES to the editor.
void DropPath(const std::wstring& path) {
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(EditControl, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

void MeasureOverTenMegabytes(const std::wstring& large, const std::wstring& small) {
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"Open 1 MB over 10 MB", [&] { OpenPath(small); }},
        {"New over 10 MB", [] { SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_NEW, 0); }},
        {"drop 1 MB over 10 MB", [&] { DropPath(small); }},
    };
    for (const auto& action : actions) {
        std::vector<double> times;
        for (int run = 0; run < 3; ++run) {
            StartBenchEditor();
            OpenPath(large);
            PumpUntilIdle();
            times.push_back(TimeUntilIdle(action.second));
            StopBenchEditor();
        }
        printf("%-34s %9.1f ms\n", action.first, Median(times));
    }
}

// The text goes in over the old one in the same control, as a load did
// before a fresh control took the old one's place.
void MeasureKeptControl() {
    for (size_t kilobytes : {32, 64, 128, 256}) {
        std::string old = MakeAsciiLines(kilobytes << 10, 1);
        std::wstring text = DecodeTextBytes(MakeAsciiLines(1 << 20, 2)).text;
        StartBenchEditor();
        SetBenchEditorText(DecodeTextBytes(old).text);
        double elapsed = TimeUntilIdle([&] {
            SendMessageW(EditControl, WM_SETREDRAW, FALSE, 0);
            SendMessageW(EditControl, EM_SETEVENTMASK, 0, 0);
            SendMessageW(EditControl, EM_SETUNDOLIMIT, 0, 0);
            SendMessageW(EditControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            SendMessageW(EditControl, EM_SETUNDOLIMIT, 100, 0);
            SendMessageW(EditControl, EM_SETEVENTMASK, 0, EditorEventMask);
            SendMessageW(EditControl, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(EditControl, nullptr, TRUE);
        });
        StopBenchEditor();
        printf("1 MB over %3zu KB, control kept      %9.1f ms\n", kilobytes, elapsed);
    }
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::wstring large = WriteBenchFile(L"large10.txt", MakeAsciiLines(10485760, 1));
    std::wstring small = WriteBenchFile(L"small1.txt", MakeAsciiLines(1048576, 2));
    printf("medians of 3 runs (control kept: one run), ms, until idle\n");
    if (argc < 2 || strcmp(argv[1], "kept") != 0) MeasureOverTenMegabytes(large, small);
    MeasureKeptControl();
    return 0;
}
