// The pure parts of loading and saving: decoding of a file's bytes, the
// UTF-8 form that saves write, and the window title.
#include "harness.h"

#include <algorithm>
#include <random>
#include <unordered_set>

#include "document/document.h"

namespace {

std::string Hex(const std::string& bytes) {
    std::string out;
    char cell[4];
    for (unsigned char c : bytes) {
        wsprintfA(cell, "%02X ", c);
        out += cell;
    }
    return out;
}

std::string Units(const std::wstring& text) {
    std::string out;
    char cell[6];
    for (wchar_t c : text) {
        wsprintfA(cell, "%04X ", static_cast<unsigned>(c));
        out += cell;
    }
    return out;
}

}  // namespace

TEST(Decoding, WellFormedTextAndNulls) {
    struct Row {
        std::string bytes;
        std::wstring text;
        bool usedAnsi, hadNulls;
    } rows[] = {
        // The loader's tests cover the marks through real files; these are the rest.
        {B("\xFF\xFE\x00\xD8"), L"\xD800", false, false},  // UTF-16 content is not checked
        {B("\xFE\xFF\xD8\x3D\xDE\x00"), L"\U0001F600", false, false},
        {"caf\xC3\xA9", L"caf\u00E9", false, false},
        {"\xF0\x9F\x98\x80", L"\U0001F600", false, false},
        {"\xF4\x8F\xBF\xBF", L"\U0010FFFF", false, false},
        {"a\r\nb\nc\rd", L"a\r\nb\nc\rd", false, false},
        {"", L"", false, false},
        {B("a\0b"), L"a\uFFFDb", false, true},
        {B("\xFF\xFE\x41\x00\x00\x00\x42\x00"), L"A\uFFFDB", false, true},
        {B("\xEF\xBB\xBF\x00z"), L"\uFFFDz", false, true},
    };
    for (const Row& row : rows) {
        DecodedText decoded = DecodeTextBytes(row.bytes);
        EXPECT_TRUE(decoded.decoded) << Hex(row.bytes);
        EXPECT_EQ(Units(decoded.text), Units(row.text)) << "bytes: " << Hex(row.bytes);
        EXPECT_EQ(decoded.usedAnsi, row.usedAnsi) << "bytes: " << Hex(row.bytes);
        EXPECT_EQ(decoded.hadNulls, row.hadNulls) << "bytes: " << Hex(row.bytes);
    }
}

// Bytes that are not well-formed UTF-8 go through the ANSI code page.
TEST(Decoding, IllFormedUtf8FallsBackToAnsi) {
    struct Row {
        std::string bytes;
        std::wstring cp1252;  // what code page 1252 makes of them
        bool hadNulls;
    } rows[] = {
        {"\xE9", L"\u00E9", false},
        {"\xFF\x41", L"\u00FFA", false},                           // FF without FE
        {"\xEF\xBB\x41", L"\u00EF\u00BBA", false},                 // EF BB without BF
        {"\xC0\x80", L"\u00C0\u20AC", false},                      // overlong
        {"\xED\xA0\x80", L"\u00ED\u00A0\u20AC", false},            // an encoded surrogate
        {"\xF4\x90\x80\x80", L"\u00F4\u0090\u20AC\u20AC", false},  // above U+10FFFF
        {"\x80z", L"\u20ACz", false},                              // a stray continuation byte
        {"a\xE2\x82", L"a\u00E2\u201A", false},                    // a truncated sequence
        {B("\xE9\x00"), L"\u00E9\uFFFD", true},
    };
    for (const Row& row : rows) {
        DecodedText decoded = DecodeTextBytes(row.bytes);
        EXPECT_TRUE(decoded.decoded) << Hex(row.bytes);
        EXPECT_TRUE(decoded.usedAnsi) << "bytes: " << Hex(row.bytes);
        EXPECT_EQ(decoded.hadNulls, row.hadNulls) << "bytes: " << Hex(row.bytes);
        if (GetACP() == 1252) {
            EXPECT_EQ(Units(decoded.text), Units(row.cp1252)) << "bytes: " << Hex(row.bytes);
        }
    }
}

// A slow, obvious UTF-8 decoder to hold the loader's against: a sequence
// is well-formed when it is the encoding of a scalar value; where none
// starts, the longest start of some well-formed sequence (at least one
// byte) becomes one U+FFFD.
class ObviousUtf8 {
public:
    ObviousUtf8() {
        for (unsigned value = 0; value <= 0x10FFFF; ++value) {
            if (value >= 0xD800 && value <= 0xDFFF) continue;
            std::string bytes = Encode(value);
            for (size_t length = 1; length < bytes.size(); ++length) starts_.insert(bytes.substr(0, length));
        }
    }
    // The text, and whether every sequence was well-formed.
    std::wstring Decode(const std::string& bytes, bool& wellFormed) const {
        std::wstring text;
        wellFormed = true;
        for (size_t at = 0; at < bytes.size();) {
            size_t length = 4;
            unsigned value = 0;
            while (length > 0 && !IsScalar(bytes.substr(at, length), value)) --length;
            if (length == 0) {
                wellFormed = false;
                length = 3;
                while (length > 1 && !starts_.count(bytes.substr(at, length))) --length;
                value = 0xFFFD;
            }
            if (value >= 0x10000) {
                text += static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
                text += static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
            } else {
                text += static_cast<wchar_t>(value);
            }
            at += length;
        }
        return text;
    }

private:
    static std::string Encode(unsigned value) {
        std::string bytes;
        if (value < 0x80) {
            bytes += static_cast<char>(value);
        } else if (value < 0x800) {
            bytes += static_cast<char>(0xC0 | (value >> 6));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else if (value < 0x10000) {
            bytes += static_cast<char>(0xE0 | (value >> 12));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (value >> 18));
            bytes += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        }
        return bytes;
    }
    // Read the bits as the lead byte's length says, then re-encode: only a
    // scalar value's own shortest form comes back the same.
    static bool IsScalar(const std::string& bytes, unsigned& value) {
        if (bytes.empty()) return false;
        unsigned char lead = bytes[0];
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length != bytes.size()) return false;
        value = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length; ++i)
            value = (value << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
        if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        return Encode(value) == bytes;
    }
    std::unordered_set<std::string> starts_;
};

// Generated inputs, rich in the bytes where decoders go wrong: lead bytes,
// continuation bytes at the edges of their ranges, cut and whole
// sequences, NUL. Each is decoded after a UTF-8 mark (replacements) and
// without one (well-formed or the ANSI fallback).
TEST(Decoding, GeneratedBytesAgreeWithAnObviousDecoder) {
    ObviousUtf8 obvious;
    std::mt19937 random(23);
    const unsigned char edges[] = {0x00, 0x0A, 0x0D, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                   0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xED,
                                   0xEE, 0xEF, 0xF0, 0xF3, 0xF4, 0xF5, 0xFF};
    for (int run = 0; run < 4000; ++run) {
        std::string bytes;
        size_t pieces = random() % 8;
        for (size_t piece = 0; piece < pieces; ++piece) {
            switch (random() % 3) {
            case 0: bytes += static_cast<char>(edges[random() % sizeof(edges)]); break;
            case 1: bytes += static_cast<char>(random() % 256); break;
            default: {  // a real character's bytes, sometimes cut short
                unsigned value = random() % 0x110000;
                wchar_t units[2];
                int count = 1;
                if (value >= 0x10000) {
                    units[0] = static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
                    units[1] = static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
                    count = 2;
                } else {
                    units[0] = static_cast<wchar_t>(value);
                }
                std::string whole = EncodeUtf8(std::wstring(units, count));
                bytes += whole.substr(0, random() % 2 ? whole.size() : random() % whole.size());
            }
            }
        }
        bool wellFormed = false;
        std::wstring expected = obvious.Decode(bytes, wellFormed);
        bool hadNulls = expected.find(L'\0') != std::wstring::npos;
        std::replace(expected.begin(), expected.end(), L'\0', L'\uFFFD');

        DecodedText marked = DecodeTextBytes("\xEF\xBB\xBF" + bytes);
        ASSERT_EQ(Units(marked.text), Units(expected)) << "after a mark: " << Hex(bytes);
        ASSERT_EQ(marked.hadNulls, hadNulls) << Hex(bytes);
        // A leading letter keeps generated bytes from forming a mark.
        DecodedText bare = DecodeTextBytes("x" + bytes);
        ASSERT_EQ(bare.usedAnsi, !wellFormed) << "without a mark: " << Hex(bytes);
        if (wellFormed) {
            ASSERT_EQ(Units(bare.text), Units(L"x" + expected)) << "without a mark: " << Hex(bytes);
        }
    }
}

TEST(Utf8Form, HasNoMarkAndReplacesLoneSurrogates) {
    struct Row {
        std::wstring text;
        std::string bytes;
    } rows[] = {
        {L"", ""},
        {L"A", "A"},
        {L"a\r\nb", "a\r\nb"},
        {L"\u00E9", "\xC3\xA9"},
        {L"\u20AC", "\xE2\x82\xAC"},
        {L"\U0001F600", "\xF0\x9F\x98\x80"},  // one 4-byte sequence for the pair
        {L"\xD800", "\xEF\xBF\xBD"},
        {L"a\xDC00z", "a\xEF\xBF\xBDz"},
        {L"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // a pair in the wrong order
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Hex(EncodeUtf8(row.text)), Hex(row.bytes)) << "text: " << Units(row.text);
    }
}

// The save narrows the ASCII start of its text in place: the bytes at the
// front, the units from the first other character on untouched.
TEST(Utf8Form, NarrowsTheAsciiStartInPlace) {
    struct Row {
        std::wstring text;
        size_t ascii;
    } rows[] = {
        {L"", 0},          {L"abc\r\n", 5},       {L"\u00E9abc", 0},
        {L"a\u00E9bc", 1}, {L"abcd\u20ACxyz", 4}, {L"abcdefg\U0001F600", 7},
        {L"\x7F\x80", 1},
    };
    for (const Row& row : rows) {
        std::wstring units = row.text;
        size_t ascii = NarrowAsciiInPlace(units.data(), units.size());
        EXPECT_EQ(ascii, row.ascii) << "text: " << Units(row.text);
        std::string front(reinterpret_cast<const char*>(units.data()), ascii);
        EXPECT_EQ(front, std::string(row.text.begin(), row.text.begin() + row.ascii))
            << "text: " << Units(row.text);
        EXPECT_EQ(Units(units.substr(ascii)), Units(row.text.substr(ascii))) << "text: " << Units(row.text);
    }
}

TEST(WindowTitle, ShortensLongNamesAndKeepsTheMarker) {
    const std::wstring ellipsis = L"\u2026";
    std::wstring fits(235, L'n');  // 9 + 235 + 11 = 255
    std::wstring pair = L"\U0001F600";
    struct Row {
        std::wstring name;
        bool modified;
        std::wstring title;
    } rows[] = {
        {L"New Document", false, L"Tavilo - New Document"},
        {L"notes.txt", true, L"Tavilo - notes.txt *(unsaved)"},
        {L"", false, L"Tavilo - "},
        {fits, true, L"Tavilo - " + fits + L" *(unsaved)"},
        {fits + L"x", true, L"Tavilo - " + fits.substr(0, 234) + ellipsis + L" *(unsaved)"},
        {std::wstring(246, L'n'), false, L"Tavilo - " + std::wstring(246, L'n')},
        {std::wstring(247, L'n'), false, L"Tavilo - " + std::wstring(245, L'n') + ellipsis},
        {std::wstring(300, L'n'), true, L"Tavilo - " + std::wstring(234, L'n') + ellipsis + L" *(unsaved)"},
        // The cut would fall inside the pair: the whole pair goes.
        {std::wstring(233, L'n') + pair + L"tail", true,
         L"Tavilo - " + std::wstring(233, L'n') + ellipsis + L" *(unsaved)"},
    };
    for (const Row& row : rows) {
        std::wstring title = ComposeWindowTitle(row.name, row.modified);
        EXPECT_EQ(Units(title), Units(row.title)) << "name length " << row.name.size();
        EXPECT_LE(title.size(), 255u);
    }
}
