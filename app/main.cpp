// Tavilo's entry point: start up, run the message loop, return 0.
#include "app/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    HACCEL accelerators = StartApplication(instance, showCommand, GetCommandLineW());
    if (accelerators || MainWindow) RunMessageLoop(accelerators);
    return 0;
}
