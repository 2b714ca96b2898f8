// Files as the tests write and read them, in folders below the test
// program: shared by the in-process tests and the user-level ones.
#pragma once

#include <string>
#include <vector>

// The folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);  // empty when the file cannot be read
bool FileExists(const std::wstring& path);
std::vector<std::wstring> FilesIn(const std::wstring& folder);  // names, sorted; folder ends with '\'
void RemoveTree(const std::wstring& folder);                    // folder ends with '\'
std::string Utf8(const std::wstring& text);
std::string Utf16LE(const std::wstring& text);  // with no byte-order mark

// The bytes of a string literal, NULs included: B("a\0b") is three bytes.
template <size_t N>
std::string B(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}
