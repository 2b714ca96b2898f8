// Files as the user-level tests write and read them, in folders below the
// test program.
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
