// The screen as a person sees it: the colour of a pixel, and a picture of
// the whole screen saved when a test fails.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

COLORREF ScreenPixel(POINT point);
// How many pixels of the screen's area have the colour.
int CountScreenPixels(const RECT& area, COLORREF colour);
// The colours of the screen's area, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& area);
// Saves the whole screen as a 24-bit BMP file; true when it was written.
bool SaveScreenshot(const std::wstring& path);

// Installs, once per test program, a listener that saves the screen at the
// first failure of each test, as suite.test.bmp in the folder "screenshots"
// beside the test program, and prints where it went.
void SaveScreenshotsOfFailures();
