// The release ZIP, unpacked into an empty folder by the test before this
// one, starts from there and keeps its settings beside itself.
#include <gtest/gtest.h>

#include "test_files.h"
#include "input.h"
#include "screen.h"
#include "session.h"

TEST(Package, StartsFromTheUnpackedFolder) {
    SaveScreenshotsOfFailures();
    std::wstring folder = TestProgramFolder() + L"package\\unpacked\\";
    ASSERT_TRUE(FileExists(folder + L"tavilo.exe")) << "the package was not unpacked into " << Utf8(folder);
    ASSERT_FALSE(FileExists(folder + L"settings.ini")) << "the folder was not fresh";

    TaviloSession tavilo;
    ASSERT_TRUE(tavilo.Start(folder)) << "the main window did not come up";
    EXPECT_EQ(tavilo.Title(), L"Tavilo - New Document");
    EXPECT_TRUE(WaitUntil([&] { return FileExists(folder + L"settings.ini"); }));
    EXPECT_EQ(GetPrivateProfileIntW(L"UI", L"FontSize", -1, (folder + L"settings.ini").c_str()), 18);

    PressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(tavilo.WaitForExit()) << "Alt+F4 did not end the program";
}
