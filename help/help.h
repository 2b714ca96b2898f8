// The Help menu: the update check and the About box.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The program's version, and the vendor's web server: the update server,
// its download page "/releases" and the home page are on one host.
inline constexpr char BuiltInVersion[] = "1.8.3";
inline constexpr wchar_t VendorHost[] = L"www.tavilo-editor.example";
inline constexpr wchar_t VendorHomePage[] = L"https://www.tavilo-editor.example/";

// version.cpp: version numbers.
// The text of a received body: up to the first zero byte, without trailing
// blanks, carriage returns, line feeds and tabs.
std::string TrimReceivedText(const char* bytes, size_t count);
// A dotted sequence of decimal numbers, such as "1.9.0".
bool IsVersionNumber(const std::string& text);
// Negative, zero or positive as version a is older than, the same as or
// newer than version b; both must be version numbers.
int CompareVersions(const std::string& a, const std::string& b);

// update_check.cpp: command 200, and the same check against any server.
enum class CertificateCheck { Strict, AcceptAny };
void CheckUpdateCommand();
void CheckForUpdate(const wchar_t* host, unsigned short port, CertificateCheck certificates);
extern BOOL(WINAPI* CloseInternetHandle)(void* handle);  // WinHttpCloseHandle; tests count

// about_box.cpp: command 201.
void AboutCommand();

// web_page.cpp: opening a page in the default browser; tests capture it.
extern void (*OpenWebPageA)(const char* address);     // ShellExecuteA
extern void (*OpenWebPageW)(const wchar_t* address);  // ShellExecuteW
