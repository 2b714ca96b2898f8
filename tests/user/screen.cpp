// Pixels and pictures of the screen, read from the screen's device context.
#include "screen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "test_files.h"

COLORREF ScreenPixel(POINT point) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

namespace {

size_t RowStride(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

// The pixels of the screen from its top left corner, bottom row first, as
// a BMP file stores them: blue, green and red bytes, rows padded to four.
std::vector<char> CaptureScreen(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<char> pixels;
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        const char* start = static_cast<const char*>(bits);
        pixels.assign(start, start + RowStride(width) * height);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

class ScreenshotOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { saved_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (saved_ || !result.failed()) return;
        saved_ = true;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::wstring folder = TestProgramFolder() + L"screenshots\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".bmp";
        std::wstring path = folder + std::wstring(name.begin(), name.end());
        if (SaveScreenshot(path)) {
            std::printf("Screenshot of the failure: %s\n", Utf8(path).c_str());
        }
    }
    bool saved_ = false;
};

}  // namespace

int CountScreenPixels(const RECT& area, COLORREF colour) {
    int width = area.right, height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<char> pixels = CaptureScreen(width, height);
    if (pixels.empty()) return 0;
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        const unsigned char* row =
            reinterpret_cast<const unsigned char*>(pixels.data()) + RowStride(width) * (height - 1 - y);
        for (int x = area.left; x < area.right; ++x) {
            if (RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]) == colour) ++count;
        }
    }
    return count;
}

std::vector<COLORREF> ScreenPixels(const RECT& area) {
    int width = area.right, height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<char> pixels = CaptureScreen(width, height);
    std::vector<COLORREF> colours;
    if (pixels.empty()) return colours;
    for (int y = area.top; y < area.bottom; ++y) {
        const unsigned char* row =
            reinterpret_cast<const unsigned char*>(pixels.data()) + RowStride(width) * (height - 1 - y);
        for (int x = area.left; x < area.right; ++x) colours.push_back(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
    return colours;
}

bool SaveScreenshot(const std::wstring& path) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<char> pixels = CaptureScreen(width, height);
    if (pixels.empty()) return false;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixels.size());
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(pixels.data(), pixels.size());
    WriteBytes(path, bytes);
    return ReadBytes(path).size() == bytes.size();
}

void SaveScreenshotsOfFailures() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
}
