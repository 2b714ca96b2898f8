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

// One measuring and one converting call. With MB_ERR_INVALID_CHARS a
// sequence that is not well-formed UTF-8 makes the measuring call fail.
static bool MultiByteToText(UINT codePage, DWORD flags, const char* data, size_t size, std::wstring& text) {
    text.clear();
    if (size == 0) return true;
    int count = static_cast<int>(size);
    int length = MultiByteToWideChar(codePage, flags, data, count, nullptr, 0);
    if (length <= 0) return false;
    text.resize(length);
    return MultiByteToWideChar(codePage, flags, data, count, text.data(), length) == length;
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

static void DecodeWithoutMark(const std::string& bytes, DecodedText& result) {
    if (MultiByteToText(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), bytes.size(), result.text)) return;
    result.usedAnsi = true;
    result.decoded = MultiByteToText(CP_ACP, 0, bytes.data(), bytes.size(), result.text);
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
        // Without MB_ERR_INVALID_CHARS malformed sequences become U+FFFD.
        MultiByteToText(CP_UTF8, 0, bytes.data() + 3, bytes.size() - 3, result.text);
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
