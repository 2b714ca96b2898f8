// Finds the modal message boxes and dialogs of this thread while a test
// runs the action that opens them, reads them and answers them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct DialogButton {
    int id;
    std::wstring text;
};

struct DialogInfo {
    HWND window = nullptr;
    HWND owner = nullptr;  // the owner window when the dialog was read
    std::wstring caption;
    std::wstring text;  // a message box's message (static control 0xFFFF)
    std::vector<DialogButton> buttons;
    HICON icon = nullptr;  // the icon a message box shows, if any

    bool HasButton(int id) const;
    // "warning", "error", "question", "information" or "" for a message box's icon.
    std::string IconName() const;
};

// Reads the caption, message, buttons and icon of a dialog window.
DialogInfo ReadDialog(HWND dialog);

// Whether a message box shows this text, caption and icon ("warning",
// "error", "question", "information" or "" for none), with these buttons
// when any are given, and belongs to the owner given (the main window when
// none is); the failure says what differs. Use as EXPECT_TRUE(IsBox(...)).
::testing::AssertionResult IsBox(const DialogInfo& box, const std::wstring& text, const std::wstring& caption,
                                 const std::string& icon, const std::vector<int>& buttons = {},
                                 HWND owner = nullptr);

// Presses a button of a dialog, as a click would.
void PressButton(HWND dialog, int id);

// Types a file name into the file-name box of a common open or save
// dialog and presses its OK button; false when no such box is found.
bool EnterFileName(HWND dialog, const std::wstring& name);
// Runs the Open command and picks the file in its real dialog.
void OpenThroughTheDialog(const std::wstring& path);

// While it lives, every new visible "#32770" window of this thread is read
// and handed to the handler, which answers it (usually by pressing a
// button). A thread timer does the looking, so it works inside the modal
// loops of MessageBoxW, DialogBoxParamW and the common dialogs.
class DialogWatcher {
public:
    using Handler = std::function<void(const DialogInfo&)>;
    explicit DialogWatcher(Handler handler);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    const std::vector<DialogInfo>& Seen() const { return seen_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK OnThreadWindow(HWND window, LPARAM watcher);
    void Look(HWND window);

    Handler handler_;
    std::vector<DialogInfo> seen_;
    std::vector<HWND> handled_;
    UINT_PTR timer_ = 0;
};

// Handlers for the usual answers.
DialogWatcher::Handler Press(int id);
// Presses the given buttons in turn, one per dialog; later dialogs get the last.
DialogWatcher::Handler PressInTurn(std::vector<int> ids);
