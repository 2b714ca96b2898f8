// Where the main window opens: 70 % of the screen height at an aspect of
// 16:11, or 95 % of the width when that would not fit, centred.
#include "app/app.h"

WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight) {
    int height = screenHeight * 70 / 100;
    int width = height * 16 / 11;
    if (width >= screenWidth) {
        width = screenWidth * 95 / 100;
        height = width * 11 / 16;
    }
    return {(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}
