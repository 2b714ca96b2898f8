// The version record, manifest and icon groups built into the program.
#include "harness.h"

#include "resources/resource.h"

namespace {

std::string ResourceBytes(LPCWSTR type, LPCWSTR name) {
    HRSRC resource = FindResourceW(nullptr, name, type);
    if (!resource) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    return std::string(data, SizeofResource(nullptr, resource));
}

}  // namespace

TEST(Resources, VersionRecordReads183) {
    std::string record = ResourceBytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
    ASSERT_FALSE(record.empty());
    const DWORD signature = 0xFEEF04BD;
    size_t at = record.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO info;
    memcpy(&info, record.data() + at, sizeof(info));
    EXPECT_EQ(info.dwFileVersionMS, MAKELONG(8, 1));
    EXPECT_EQ(info.dwFileVersionLS, MAKELONG(0, 3));
    EXPECT_EQ(info.dwProductVersionMS, MAKELONG(8, 1));
    EXPECT_EQ(info.dwProductVersionLS, MAKELONG(0, 3));
    std::wstring strings(reinterpret_cast<const wchar_t*>(record.data()), record.size() / 2);
    size_t product = strings.find(L"ProductVersion");
    ASSERT_NE(product, std::wstring::npos);
    EXPECT_NE(strings.find(L"1.8.3", product), std::wstring::npos);
}

TEST(Resources, ManifestDeclaresPerMonitorDpiAndCommonControls6) {
    std::string manifest = ResourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(">permonitorv2,permonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST(Resources, EachIconGroupHoldsSevenSizesIn32Bits) {
#pragma pack(push, 2)
    struct GroupHeader {
        WORD reserved, type, count;
    };
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    for (int group : {IDI_APP, IDI_ABOUT}) {
        std::string bytes = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(group));
        ASSERT_GE(bytes.size(), sizeof(GroupHeader)) << group;
        const GroupHeader* header = reinterpret_cast<const GroupHeader*>(bytes.data());
        ASSERT_EQ(header->count, 7) << group;
        const GroupEntry* entries = reinterpret_cast<const GroupEntry*>(bytes.data() + sizeof(GroupHeader));
        int expected[] = {256, 128, 64, 48, 32, 24, 16};
        for (int i = 0; i < 7; ++i) {
            int size = entries[i].width == 0 ? 256 : entries[i].width;
            EXPECT_EQ(size, expected[i]) << "group " << group << " image " << i;
            EXPECT_EQ(entries[i].bitCount, 32) << "group " << group << " image " << i;
        }
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(group), IMAGE_ICON, 48, 48, 0));
        EXPECT_TRUE(icon != nullptr) << group;
        if (icon) DestroyIcon(icon);
    }
}
