// Version numbers: trimming what the update server sent, checking its form
// and comparing it with the program's own.
#include "help/help.h"

#include <cstring>
#include <vector>

std::string TrimReceivedText(const char* bytes, size_t count) {
    const void* zero = std::memchr(bytes, '\0', count);
    if (zero) count = static_cast<const char*>(zero) - bytes;
    std::string text(bytes, count);
    text.erase(text.find_last_not_of(" \r\n\t") + 1);
    return text;
}

bool IsVersionNumber(const std::string& text) {
    bool partHasDigit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            partHasDigit = true;
        } else if (c == '.' && partHasDigit) {
            partHasDigit = false;
        } else {
            return false;
        }
    }
    return partHasDigit;
}

static std::vector<std::string> SplitParts(const std::string& version) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t dot = version.find('.', start);
        std::string part = version.substr(start, dot - start);
        part.erase(0, part.find_first_not_of('0'));
        parts.push_back(part);
        if (dot == std::string::npos) return parts;
        start = dot + 1;
    }
}

// Parts are compared as digit strings without their leading zeros (longer
// is larger), so no part is too long to compare.
static int CompareParts(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int CompareVersions(const std::string& a, const std::string& b) {
    std::vector<std::string> left = SplitParts(a);
    std::vector<std::string> right = SplitParts(b);
    size_t count = left.size() > right.size() ? left.size() : right.size();
    left.resize(count);  // a missing part counts as 0, an empty digit string here
    right.resize(count);
    for (size_t i = 0; i < count; ++i) {
        int order = CompareParts(left[i], right[i]);
        if (order != 0) return order;
    }
    return 0;
}
