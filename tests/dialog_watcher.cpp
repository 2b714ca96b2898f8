// The modal-dialog watcher.
#include "dialog_watcher.h"

#include <dlgs.h>

#include <algorithm>
#include <memory>

#include "app/app.h"
#include "harness.h"
#include "resources/resource.h"

static DialogWatcher* ActiveWatcher = nullptr;

static std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool DialogInfo::HasButton(int id) const {
    for (const DialogButton& button : buttons) {
        if (button.id == id) return true;
    }
    return false;
}

std::string DialogInfo::IconName() const {
    if (!icon) return "";
    if (icon == LoadIconW(nullptr, IDI_WARNING)) return "warning";
    if (icon == LoadIconW(nullptr, IDI_ERROR)) return "error";
    if (icon == LoadIconW(nullptr, IDI_QUESTION)) return "question";
    if (icon == LoadIconW(nullptr, IDI_INFORMATION)) return "information";
    return "other";
}

::testing::AssertionResult IsBox(const DialogInfo& box, const std::wstring& text, const std::wstring& caption,
                                 const std::string& icon, const std::vector<int>& buttons, HWND owner) {
    std::string wrong;
    if (box.text != text) wrong += "\n  text \"" + Narrow(box.text) + "\", not \"" + Narrow(text) + "\"";
    if (box.caption != caption)
        wrong += "\n  caption \"" + Narrow(box.caption) + "\", not \"" + Narrow(caption) + "\"";
    if (box.IconName() != icon) wrong += "\n  icon \"" + box.IconName() + "\", not \"" + icon + "\"";
    std::vector<int> shown;
    for (const DialogButton& button : box.buttons) shown.push_back(button.id);
    std::sort(shown.begin(), shown.end());
    std::vector<int> wanted = buttons;
    std::sort(wanted.begin(), wanted.end());
    if (!wanted.empty() && shown != wanted) wrong += "\n  other buttons than asked for";
    // A box given a child window as its owner is owned by that window's top-level window.
    if (GetAncestor(box.owner, GA_ROOT) != (owner ? owner : MainWindow)) wrong += "\n  another owner";
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the message box \"" << Narrow(box.text) << "\" differs:" << wrong;
}

static BOOL CALLBACK ReadChild(HWND child, LPARAM infoPointer) {
    DialogInfo& info = *reinterpret_cast<DialogInfo*>(infoPointer);
    if (GetParent(child) != info.window) return TRUE;
    std::wstring className = ClassOf(child);
    int id = GetDlgCtrlID(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (className == L"Button" && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON) {
        if (IsWindowVisible(child)) info.buttons.push_back({id, WindowText(child)});
    } else if (className == L"Static") {
        if (id == 0xFFFF) info.text = WindowText(child);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            info.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    return TRUE;
}

DialogInfo ReadDialog(HWND dialog) {
    DialogInfo info;
    info.window = dialog;
    info.owner = GetWindow(dialog, GW_OWNER);
    info.caption = WindowText(dialog);
    EnumChildWindows(dialog, ReadChild, reinterpret_cast<LPARAM>(&info));
    return info;
}

void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The file-name box is an edit control: edt1 in the old-style dialog,
// inside combo box cmb13 in the Explorer-style one.
static BOOL CALLBACK FindFileNameEdit(HWND child, LPARAM found) {
    int id = GetDlgCtrlID(child);
    if (ClassOf(child) != L"Edit" || (id != cmb13 && id != edt1) || !IsWindowVisible(child)) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

bool EnterFileName(HWND dialog, const std::wstring& name) {
    HWND edit = nullptr;
    EnumChildWindows(dialog, FindFileNameEdit, reinterpret_cast<LPARAM>(&edit));
    if (!edit) return false;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PressButton(dialog, IDOK);
    return true;
}

DialogWatcher::DialogWatcher(Handler handler) : handler_(std::move(handler)) {
    ActiveWatcher = this;
    timer_ = SetTimer(nullptr, 0, 20, OnTimer);
}

DialogWatcher::~DialogWatcher() {
    KillTimer(nullptr, timer_);
    if (ActiveWatcher == this) ActiveWatcher = nullptr;
}

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (ActiveWatcher)
        EnumThreadWindows(GetCurrentThreadId(), OnThreadWindow, reinterpret_cast<LPARAM>(ActiveWatcher));
}

BOOL CALLBACK DialogWatcher::OnThreadWindow(HWND window, LPARAM watcher) {
    reinterpret_cast<DialogWatcher*>(watcher)->Look(window);
    return TRUE;
}

void DialogWatcher::Look(HWND window) {
    if (ClassOf(window) != L"#32770" || !IsWindowVisible(window) || !IsWindowEnabled(window)) return;
    std::vector<HWND> alive;
    for (HWND handled : handled_) {
        if (handled == window) return;
        if (IsWindow(handled)) alive.push_back(handled);
    }
    handled_ = alive;
    handled_.push_back(window);
    seen_.push_back(ReadDialog(window));
    DialogInfo info = seen_.back();
    handler_(info);
}

DialogWatcher::Handler Press(int id) {
    return [id](const DialogInfo& info) { PressButton(info.window, id); };
}

DialogWatcher::Handler PressInTurn(std::vector<int> ids) {
    auto next = std::make_shared<size_t>(0);
    return [ids, next](const DialogInfo& info) {
        int id = ids[*next < ids.size() ? *next : ids.size() - 1];
        ++*next;
        PressButton(info.window, id);
    };
}

void OpenThroughTheDialog(const std::wstring& path) {
    DialogWatcher watcher([&](const DialogInfo& info) { EnterFileName(info.window, path); });
    SendCommand(IDM_FILE_OPEN);
    ASSERT_EQ(watcher.Seen().size(), 1u);
}
