// Where the main window opens, as a pure function and on the live screen.
#include "harness.h"

#include "app/app.h"

TEST(WindowPlacement, FollowsTheScreenSize) {
    struct Case {
        int screenWidth, screenHeight;
        WindowPlacement expected;
    } cases[] = {
        {1920, 1080, {410, 162, 1099, 756}},
        {1366, 768, {292, 115, 781, 537}},
        {3840, 2160, {820, 324, 2199, 1512}},
        {1024, 1280, {26, 306, 972, 668}},   // portrait: the width rule applies
        {1099, 1080, {27, 181, 1044, 717}},  // w equal to the screen width already switches
    };
    for (const Case& c : cases) {
        WindowPlacement p = ComputeWindowPlacement(c.screenWidth, c.screenHeight);
        EXPECT_EQ(p.x, c.expected.x) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(p.y, c.expected.y) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(p.width, c.expected.width) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(p.height, c.expected.height) << c.screenWidth << "x" << c.screenHeight;
    }
}

using LivePlacement = AppFixture;

TEST_F(LivePlacement, CentresTheWindowOnTheScreen) {
    StartApp();
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    WindowPlacement expected = ComputeWindowPlacement(screenWidth, screenHeight);
    RECT rect;
    GetWindowRect(MainWindow, &rect);
    EXPECT_EQ(rect.left, expected.x);
    EXPECT_EQ(rect.top, expected.y);
    EXPECT_EQ(rect.right - rect.left, expected.width);
    EXPECT_EQ(rect.bottom - rect.top, expected.height);
    if (screenWidth == 1920 && screenHeight == 1080) {
        EXPECT_EQ(rect.left, 410);
        EXPECT_EQ(rect.top, 162);
        EXPECT_EQ(rect.right - rect.left, 1099);
        EXPECT_EQ(rect.bottom - rect.top, 756);
    }
    EXPECT_TRUE(IsWindowVisible(MainWindow));
}
