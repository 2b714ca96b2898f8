// Tavilo's entry point: crash protection, start-up, the message loop, the end.
#include "app/app.h"
#include "document/document.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Before anything can fail; the tests, which start the program
    // in-process, keep their own crash handling.
    InstallCrashProtection();
    HACCEL accelerators = StartApplication(instance, showCommand, GetCommandLineW());
    if (accelerators || MainWindow) RunMessageLoop(accelerators);
    EndApplication();
    return 0;
}
