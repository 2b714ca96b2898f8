// The approximate size shown beside the character count in the status bar.
#include "view/view.h"

#include <cwchar>

std::wstring FormatSizeText(long long characters) {
    static const wchar_t* const units[] = {L"bytes", L"KB", L"MB", L"GB", L"TB"};
    double value = static_cast<double>(characters);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    wchar_t text[64];
    if (unit == 0) {
        swprintf(text, 64, L"%lld %ls", characters, units[0]);
    } else {
        swprintf(text, 64, L"%.1f %ls", value, units[unit]);
    }
    return text;
}
