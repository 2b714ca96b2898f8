// Start-up in its fixed order, the command-line file, the report of
// emergency copies left by an earlier run, the message loop, and what is
// undone at the end.
#include "app/app.h"

#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>
#include <shellapi.h>

#include "document/document.h"
#include "resources/resource.h"
#include "view/view.h"

HWND MainWindow = nullptr;
HINSTANCE AppInstance = nullptr;
float DpiScale = 1.0f;

const wchar_t MainWindowClassName[] = L"TaviloClass";

static void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = MainWindowClassName;
    RegisterClassW(&windowClass);  // a failure shows as a failed CreateWindowExW
}

static void PlaceMainWindow() {
    WindowPlacement placement =
        ComputeWindowPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(MainWindow, nullptr, placement.x, placement.y, placement.width, placement.height,
                 SWP_SHOWWINDOW | SWP_NOZORDER);
}

// The stored view settings, applied once the windows exist; the zoom is
// not stored and starts at 100 % every time.
static void ApplyStartupViewSettings() {
    ApplyViewOption(IDM_FONT_FIRST + FontIndex);
    ApplyViewOption(IDM_SIZE_FIRST + FontSize - 10);
    ZoomCommand(IDM_ZOOM_100);
    ApplyViewOption(IDM_THEME_FIRST + ColorIndex);
}

static void SetWindowIcons() {
    HICON icon = LoadIconW(AppInstance, MAKEINTRESOURCEW(IDI_APP));
    SendMessageW(MainWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageW(MainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

// The document is still untouched at start-up, so no prompt is needed.
static void OpenStartupFile(const wchar_t* path) {
    if (PassesPreloadChecks(MainWindow, path, LoadCaller::CommandLine) &&
        LoadTextFile(MainWindow, EditControl, path)) {
        SetDocumentPath(path);
        UpdateWindowTitle();
    }
}

// The first argument after the program's name is a file to open.
static void OpenCommandLineFile(const wchar_t* commandLine) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
    if (!arguments) return;
    if (count >= 2) OpenStartupFile(arguments[1]);
    LocalFree(arguments);
}

// Text kept when an earlier run died or its session ended is reported
// once; an opened copy takes the place of a command-line file.
static void ReportEmergencyCopies() {
    for (const std::wstring& path : TakeUnreportedEmergencyCopies()) {
        if (AskToOpenEmergencyCopy(path)) OpenStartupFile(path.c_str());
    }
}

// The rich edit control takes part in drag and drop, and puts what it
// copies on the clipboard, through OLE, which must be running on the
// thread before the control is made. Without it text can still be typed
// and pasted, so a failure is no reason not to start.
static bool OleStarted = false;

HACCEL StartApplication(HINSTANCE instance, int showCommand, const wchar_t* commandLine) {
    OleStarted = SUCCEEDED(OleInitialize(nullptr));
    RegisterMainWindowClass(instance);

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    LoadSettings();

    HWND window =
        CreateWindowExW(0, MainWindowClassName, L"Tavilo - New Document", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;

    MainWindow = window;
    AppInstance = instance;
    DpiScale = GetDpiForWindow(MainWindow) / 96.0f;
    ChooseLineReading();

    PlaceMainWindow();
    ApplyStartupViewSettings();
    ClearModified();
    SetWindowIcons();
    OpenCommandLineFile(commandLine);
    ReportEmergencyCopies();

    ComputeGutterWidth(MainWindow, EditControl);
    LayoutMainWindow(MainWindow);
    ShowWindow(MainWindow, showCommand);

    return LoadAcceleratorsW(AppInstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
}

// A control registered for drops revokes that when it is destroyed, which
// must happen while OLE still runs; OleUninitialize then leaves what the
// program copied on the clipboard for other programs.
void EndApplication() {
    if (HiddenEditControl && IsWindow(HiddenEditControl)) DestroyWindow(HiddenEditControl);
    HiddenEditControl = nullptr;
    if (OleStarted) OleUninitialize();
    OleStarted = false;
}

int RunMessageLoop(HACCEL accelerators) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (!TranslateAcceleratorW(MainWindow, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
