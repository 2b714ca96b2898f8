// The application frame: start-up, the main window, its children and menu
// bar, command dispatch, the way out and DPI changes.
#pragma once

#include <windows.h>

#include "app/app_values.h"

// startup.cpp: everything wWinMain does before and after its message loop.
// StartApplication runs the start-up up to the loop, opening the file that
// the command line (GetCommandLineW's, for wWinMain) names, and returns the
// accelerator table, or null when the main window could not be created.
HACCEL StartApplication(HINSTANCE instance, int showCommand, const wchar_t* commandLine);
int RunMessageLoop(HACCEL accelerators);
// After the main window is gone: the printing control goes, OLE ends.
void EndApplication();

// placement.cpp: where the main window opens on a W x H screen.
struct WindowPlacement {
    int x, y, width, height;
};
WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight);

// main_window.cpp: the main window's procedure, and the way out: once the
// document lets the program end, the settings are kept and the window goes.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ExitProgram();

// create_window.cpp: WM_CREATE, building the children of the main window.
LRESULT OnCreateMainWindow(HWND window);

// menu_bar.cpp: the whole menu bar.
HMENU BuildMenuBar();

// commands.cpp: WM_COMMAND of the main window.
void DispatchCommand(HWND window, WPARAM wParam, LPARAM lParam);
