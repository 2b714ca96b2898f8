// Which faces of the font table this machine has installed, as fontconfig
// lists them: a look at the fonts that does not go through the program's
// own GDI enumeration. scripts/test.sh writes the list ("fc-list : family")
// into the build folder before the tests run.
#pragma once

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "view/view.h"

inline std::wstring FontFamiliesListPath() { return TestProgramFolder() + L"..\\..\\font-families.txt"; }

// Every family name of the list; a line names one or more, comma-separated,
// with fontconfig's backslash escapes.
inline std::vector<std::wstring> FontconfigFamilies() {
    std::vector<std::wstring> families;
    std::wstringstream lines(Widen(ReadBytes(FontFamiliesListPath())));
    std::wstring line;
    while (std::getline(lines, line)) {
        std::wstringstream names(line);
        std::wstring name;
        while (std::getline(names, name, L',')) {
            std::wstring plain;
            for (wchar_t c : name) {
                if (c != L'\\' && c != L'\r') plain += c;
            }
            if (!plain.empty()) families.push_back(plain);
        }
    }
    return families;
}

// installed[i] tells whether FontTable[i] is installed.
inline std::vector<bool> InstalledFaces() {
    std::vector<std::wstring> families = FontconfigFamilies();
    std::vector<bool> installed(FontCount, false);
    for (int i = 0; i < FontCount; ++i) {
        for (const std::wstring& family : families) {
            if (lstrcmpiW(family.c_str(), FontTable[i]) == 0) installed[i] = true;
        }
    }
    return installed;
}

// The first face after the first one that is (or is not) installed; -1 when none is.
inline int FirstFaceAfterZero(bool installed) {
    std::vector<bool> faces = InstalledFaces();
    for (int i = 1; i < FontCount; ++i) {
        if (faces[i] == installed) return i;
    }
    return -1;
}

// Skips the calling test when there is no list: scripts/test.sh writes it
// with fc-list (and stops if that fails); a machine without fontconfig,
// such as Windows, has no second look at its fonts to compare with.
#define SKIP_WITHOUT_FONT_LIST()                                                                  \
    do {                                                                                          \
        if (FontconfigFamilies().empty())                                                         \
            GTEST_SKIP() << "no fontconfig font list at " << Narrow(FontFamiliesListPath())       \
                         << " (scripts/test.sh writes it with fc-list); nothing to compare with"; \
    } while (false)
