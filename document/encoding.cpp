// The encoding label of a file's bytes, their decoding to UTF-16, and the
// UTF-8 form that every save writes. Nothing here touches a window.
#include "document/document.h"

#include <algorithm>

const wchar_t EncodingUtf8[] = L" UTF-8 ";
const wchar_t EncodingUtf16Le[] = L" UTF-16LE ";
const wchar_t EncodingUtf16Be[] = L" UTF-16BE ";

static bool StartsWith(const std::string& bytes, const char* mark, size_t length) {
    return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

static bool HasUtf8Mark(const std::string& bytes) { return StartsWith(bytes, "\xEF\xBB\xBF", 3); }
static bool HasUtf16LeMark(const std::string& bytes) { return StartsWith(bytes, "\xFF\xFE", 2); }
static bool HasUtf16BeMark(const std::string& bytes) { return StartsWith(bytes, "\xFE\xFF", 2); }

const wchar_t* EncodingLabelFor(const std::string& bytes) {
    if (HasUtf8Mark(bytes)) return EncodingUtf8;
    if (HasUtf16LeMark(bytes)) return EncodingUtf16Le;
    if (HasUtf16BeMark(bytes)) return EncodingUtf16Be;
    return EncodingUtf8;
}

// One measuring and one converting call of the ANSI code page.
static bool AnsiToText(const char* data, size_t size, std::wstring& text) {
    text.clear();
    if (size == 0) return true;
    int count = static_cast<int>(size);
    int length = MultiByteToWideChar(CP_ACP, 0, data, count, nullptr, 0);
    if (length <= 0) return false;
    text.resize(length);
    return MultiByteToWideChar(CP_ACP, 0, data, count, text.data(), length) == length;
}

// UTF-8 decoded here rather than by MultiByteToWideChar, whose handling of
// ill-formed input differs between Windows and Wine (under Wine a sequence
// cut short also swallows the character after it). Each well-formed
// sequence gives its character; each maximal subpart of an ill-formed one
// (a lead byte with those of its continuation bytes that could still
// belong to a well-formed sequence) gives one U+FFFD, as Unicode
// recommends, and decoding goes on at the byte after it. True when every
// sequence was well-formed.
static bool DecodeUtf8(const unsigned char* bytes, size_t size, std::wstring& text) {
    text.resize(size);  // never more units than bytes
    wchar_t* out = text.data();
    bool wellFormed = true;
    size_t at = 0;
    while (at < size) {
        unsigned lead = bytes[at];
        if (lead < 0x80) {
            *out++ = static_cast<wchar_t>(lead);
            ++at;
            continue;
        }
        // The sequence's length and the range its second byte must be in,
        // which keeps out overlong forms, surrogates and values past U+10FFFF.
        size_t length = 0;
        unsigned low = 0x80, high = 0xBF, value = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        size_t taken = 1;
        for (; taken < length && at + taken < size; ++taken) {
            unsigned next = bytes[at + taken];
            if (next < low || next > high) break;
            value = (value << 6) | (next & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        at += taken;
        if (taken < length || length == 0) {
            *out++ = L'\uFFFD';
            wellFormed = false;
        } else if (value >= 0x10000) {
            value -= 0x10000;
            *out++ = static_cast<wchar_t>(0xD800 + (value >> 10));
            *out++ = static_cast<wchar_t>(0xDC00 + (value & 0x3FF));
        } else {
            *out++ = static_cast<wchar_t>(value);
        }
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return wellFormed;
}

static bool DecodeUtf8(const std::string& bytes, size_t from, std::wstring& text) {
    return DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()) + from, bytes.size() - from, text);
}

// The code units after the two mark bytes; a last odd byte is dropped.
static std::wstring Utf16Units(const std::string& bytes, bool bigEndian) {
    size_t count = bytes.size() / 2 - 1;
    std::wstring text(count, L'\0');
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data()) + 2;
    for (size_t i = 0; i < count; ++i) {
        unsigned first = data[2 * i], second = data[2 * i + 1];
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

// Without a mark the bytes are UTF-8 only when every sequence is well-formed.
static void DecodeWithoutMark(const std::string& bytes, DecodedText& result) {
    if (DecodeUtf8(bytes, 0, result.text)) return;
    result.usedAnsi = true;
    result.decoded = AnsiToText(bytes.data(), bytes.size(), result.text);
}

// The control would end the text at the first U+0000 and a save would then
// drop the rest of the file, so every U+0000 is shown as U+FFFD instead.
static void ReplaceNulls(DecodedText& result) {
    auto first = std::find(result.text.begin(), result.text.end(), L'\0');
    if (first == result.text.end()) return;
    result.hadNulls = true;
    std::replace(first, result.text.end(), L'\0', L'\uFFFD');
}

DecodedText DecodeTextBytes(const std::string& bytes) {
    DecodedText result;
    if (HasUtf8Mark(bytes)) {
        // After the mark, ill-formed sequences are shown as U+FFFD.
        DecodeUtf8(bytes, 3, result.text);
    } else if (HasUtf16LeMark(bytes) || HasUtf16BeMark(bytes)) {
        result.text = Utf16Units(bytes, HasUtf16BeMark(bytes));
    } else {
        DecodeWithoutMark(bytes, result);
        if (!result.decoded) return result;
    }
    ReplaceNulls(result);
    return result;
}

std::string EncodeUtf8(const std::wstring& text) {
    std::string bytes;
    if (text.empty()) return bytes;
    int count = static_cast<int>(text.size());
    // Flags 0: an unpaired surrogate becomes EF BF BD instead of failing.
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    bytes.resize(length > 0 ? length : 0);
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), count, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

size_t NarrowAsciiInPlace(wchar_t* text, size_t count) {
    char* bytes = reinterpret_cast<char*>(text);
    size_t ascii = 0;
    // Byte i lands in unit i / 2, which has been read already.
    while (ascii < count && text[ascii] < 0x80) {
        bytes[ascii] = static_cast<char>(text[ascii]);
        ++ascii;
    }
    return ascii;
}
