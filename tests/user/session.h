// One run of the built tavilo.exe as a process of its own, started from a
// folder of its own (so its settings.ini is private), and readers of what a
// person sees of it: its windows and their texts, the editor's text and
// selection, the status bar. Nothing here calls into the program or sends
// it private messages; the standard messages that read texts are those any
// accessibility tool sends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Polls the condition every 20 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// A message box or dialog of the program as a person sees it.
struct ShownDialog {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;  // a message box's message
    std::vector<std::wstring> buttons;
};

// Clicks the dialog's button with the label (its '&' left out), as a person would.
bool ClickButton(const ShownDialog& dialog, const std::wstring& label);

class TaviloSession {
public:
    TaviloSession() = default;
    ~TaviloSession() { Kill(); }
    TaviloSession(const TaviloSession&) = delete;
    TaviloSession& operator=(const TaviloSession&) = delete;

    // Starts folder\tavilo.exe with the arguments and waits until its main
    // window is shown and has the keyboard. The folder ends with a backslash.
    bool Start(const std::wstring& folder, const std::wstring& arguments = L"");
    // Starts it as Start does but waits only for the main window to be
    // shown, for a start that puts a message box in front.
    bool Launch(const std::wstring& folder, const std::wstring& arguments = L"");
    bool IsRunning() const;
    // Waits for the process to end by itself; true when it did.
    bool WaitForExit(DWORD timeoutMs = 10000);
    DWORD ExitCode() const;
    // Makes the process fault: a thread started in it at an address that
    // holds no code, as a stray call into freed code would.
    bool InjectFault();
    // Ends the process if it still runs (after a failed test).
    void Kill();

    std::wstring Title() const;
    std::wstring EditorText() const;
    // The editor's selection: its first character and one past its last.
    std::pair<int, int> Selection() const;
    int CaretLine() const;  // 1-based line of the selection's start
    std::wstring StatusPart(int part) const;
    // The editor's area on the screen, and a point of it near its bottom
    // right corner, where a short document draws no text.
    RECT EditorArea() const;
    POINT EditorBackgroundPoint() const;
    RECT MainWindowArea() const;
    // The editor's window on the screen, its scroll bars included.
    RECT EditorWindowArea() const;
    RECT GutterArea() const;
    // A part of the status bar on the screen, and the bar's own area.
    RECT StatusPartArea(int part) const;
    RECT StatusBarArea() const;
    // The program has not answered for a moment: it is busy with something.
    bool IsBusy() const;
    // Sizes the main window as dragging its frame would.
    void ResizeTo(int width, int height) const;
    bool IsMaximized() const { return IsZoomed(window_) != FALSE; }

    // The program's visible message boxes and dialogs ("#32770" windows).
    std::vector<ShownDialog> Dialogs() const;
    // Waits for a dialog with the caption to be in front with the focus
    // inside it; returns it, or one without a window when none came.
    ShownDialog WaitForDialog(const std::wstring& caption, DWORD timeoutMs = 10000) const;
    // Waits until the main window is in front with the focus inside it.
    bool WaitForMainWindowInFront(DWORD timeoutMs = 10000) const;

private:
    HWND FindMainWindow() const;
    HWND Editor() const;
    HWND KeyboardFocus() const;  // the program's focus window

    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
};
