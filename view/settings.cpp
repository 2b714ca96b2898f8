// The settings file, "settings.ini" beside the executable: the font face,
// font size, colour theme and word wrap, read at start-up and written when
// the program closes. The zoom is not kept.
#include "view/view.h"

#include <string>

#include "document/document.h"

namespace {

const wchar_t Section[] = L"UI";

// Windows refuses to open a read-only file for writing; Wine lets a
// process running as root do it, so the attribute is checked here.
bool IsReadOnlyFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Opens the file with the access the profile functions will need, and
// closes it again at once: the test is whether it could be opened.
bool CanOpen(const std::wstring& path, DWORD share, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void WriteSetting(const std::wstring& path, const wchar_t* key, unsigned value) {
    WritePrivateProfileStringW(Section, key, std::to_wstring(value).c_str(), path.c_str());
}

// GetPrivateProfileIntW keeps only the low 32 bits of a number, so that
// FontSize=4294967295 would read as -1 and Autowrap=4294967297 as 1. The
// text is read instead and its number held in full, read as that function
// reads it (blanks, a sign, the decimal digits up to any other character;
// no digits read as 0), with a number too long for 64 bits kept at the
// largest one. A missing or empty value reads as the fallback.
long long ReadSetting(const std::wstring& path, const wchar_t* key, long long fallback) {
    wchar_t text[256] = {};
    if (!GetPrivateProfileStringW(Section, key, L"", text, ARRAYSIZE(text), path.c_str())) return fallback;
    const wchar_t* c = text;
    while (*c == L' ' || *c == L'\t') ++c;
    bool negative = *c == L'-';
    if (*c == L'-' || *c == L'+') ++c;
    const long long largest = 0x7FFFFFFFFFFFFFFF;
    long long value = 0;
    for (; *c >= L'0' && *c <= L'9'; ++c) {
        int digit = *c - L'0';
        value = value > (largest - digit) / 10 ? largest : value * 10 + digit;
    }
    return negative ? -value : value;
}

uint8_t Clamp(long long value, int low, int high) {
    return static_cast<uint8_t>(value < low ? low : value > high ? high : value);
}

void WriteAllSettings(const std::wstring& path, unsigned fontIndex, unsigned fontSize, unsigned colorIndex,
                      bool autowrap) {
    WriteSetting(path, L"FontIndex", fontIndex);
    WriteSetting(path, L"FontSize", fontSize);
    WriteSetting(path, L"ColorIndex", colorIndex);
    WriteSetting(path, L"Autowrap", autowrap ? 1 : 0);
}

// A stored face that is no longer installed falls back to the first one.
bool IsStoredFontInstalled() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    bool installed = IsFontInstalled(dc, FontTable[FontIndex]);
    DeleteDC(dc);
    return installed;
}

}  // namespace

std::wstring OpenSettingsFile() {
    std::wstring folder = ExecutableFolder();
    if (folder.empty()) return std::wstring();
    std::wstring path = folder + L"settings.ini";
    if (IsReadOnlyFile(path)) return std::wstring();
    if (CanOpen(path, FILE_SHARE_READ, OPEN_EXISTING)) return path;
    if (!CanOpen(path, 0, CREATE_NEW)) return std::wstring();
    WriteAllSettings(path, 0, 18, 0, false);
    return path;
}

void LoadSettings() {
    std::wstring path = OpenSettingsFile();
    if (path.empty()) return;
    FontIndex = Clamp(ReadSetting(path, L"FontIndex", FontIndex), 0, FontCount - 1);
    if (!IsStoredFontInstalled()) FontIndex = 0;
    FontSize =
        Clamp(ReadSetting(path, L"FontSize", FontSize), FontSizeTable[0], FontSizeTable[FontSizeCount - 1]);
    ColorIndex = Clamp(ReadSetting(path, L"ColorIndex", ColorIndex), 0, ThemeCount - 1);
    Autowrap = ReadSetting(path, L"Autowrap", 0) == 1;
}

void SaveSettings() {
    std::wstring path = OpenSettingsFile();
    if (path.empty()) return;
    WriteAllSettings(path, FontIndex, FontSize, ColorIndex, Autowrap);
}
