// What every test program shares: the real start-up run in-process, and
// small readers of what a user would see.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_files.h"

// Runs the posted and sent messages of this thread until the queue is empty.
void PumpMessages();
// Pumps messages until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Counts the messages that reach a window, for as long as it lives.
class MessageCounter {
public:
    explicit MessageCounter(HWND window) : window_(window) {
        SetWindowSubclass(window_, Count, reinterpret_cast<UINT_PTR>(this),
                          reinterpret_cast<DWORD_PTR>(this));
    }
    ~MessageCounter() { RemoveWindowSubclass(window_, Count, reinterpret_cast<UINT_PTR>(this)); }
    int operator[](UINT message) const {
        auto found = counts_.find(message);
        return found == counts_.end() ? 0 : found->second;
    }
    void Clear() { counts_.clear(); }

private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        reinterpret_cast<MessageCounter*>(self)->counts_[message]++;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    HWND window_;
    std::map<UINT, int> counts_;
};

// The built tavilo.exe, two folders above the test program.
std::wstring TaviloExePath();

// The editor's selection, printable in test messages.
struct Range {
    LONG start, end;
    bool operator==(const Range& other) const { return start == other.start && end == other.end; }
};
std::ostream& operator<<(std::ostream& out, const Range& range);
Range Selection();
void Select(LONG start, LONG end);

// Paints a colour straight onto a window's client area on the screen, as a
// window moved away might leave it, without asking the window to repaint.
void ScribbleOver(HWND window, COLORREF colour);

// Text helpers.
std::wstring WindowText(HWND window);
std::wstring EditorText();                     // EditControl's text as WM_GETTEXT gives it
void SetEditorText(const std::wstring& text);  // replaces the text as a paste would
// Puts the text in as opening a file does (the program's own load), which
// also tells the gutter the end of the text.
void LoadText(const std::wstring& text);
std::wstring StatusPartText(int part);
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

// Wine's own conversions between its Windows paths and Unix paths; empty
// where the conversion fails or the program does not run under Wine.
std::string UnixPath(const std::wstring& windowsPath);
std::wstring DosPath(const std::string& unixPath);

// Files in a scratch folder of the test program, removed by the fixture.
std::wstring ScratchPath(const std::wstring& name);
// Writes the bytes to a scratch file of that name and returns its path.
std::wstring WriteScratch(const std::wstring& name, const std::string& bytes);

// A real drop handle: DROPFILES followed by the wide file list, as
// WM_DROPFILES carries it (the receiver frees it with DragFinish).
HDROP MakeDrop(const std::vector<std::wstring>& paths);

// Types the text into the editor as the keyboard's WM_CHAR messages, then
// runs the queue.
void Type(const std::wstring& text);
// Types, and waits until the document knows it has unsaved changes.
void TypeAndSync(const std::wstring& text);

// Drops the files on the editor, as Explorer does, and runs the queue.
void Drop(const std::vector<std::wstring>& paths);

// Sends WM_COMMAND for a menu command to the main window, as a menu click does.
void SendCommand(UINT id);

// `check` run in each view of the editor a user can set up that changes
// where word wrap breaks lines, named: as started, the smallest font size,
// another font, a narrow window, zoom 150, zoom 150 and back to 100.
void InEveryView(const std::function<void(const std::string& view)>& check);

// A key pressed with Ctrl held, as the keyboard gives it to the editor: the
// thread's key state says Ctrl is down while the key's messages arrive, and
// a letter also brings the control character it makes (Ctrl+Z: 0x1A).
void PressCtrlKey(WPARAM key);
// Enter with Shift held, and the carriage return it brings, at the caret.
void PressShiftEnter();

// Starts the application as wWinMain does (without its message loop) and
// tears it down again. ctest runs every test in a process of its own, so
// each starts from the process's initial values. The settings file beside
// the test program is removed first unless the test sets keepSettings.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the application; the command line, when given, is what
    // GetCommandLineW would return (program name first).
    void StartApp(const std::wstring& commandLine = L"");
    void StopApp();

    HACCEL accelerators = nullptr;
    bool keepSettings = false;
};
