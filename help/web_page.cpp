// Opening a web page in the default browser. The update check passes a
// byte string and the About box a wide one, so there is one of each; a
// failure to open the page is not reported.
#include "help/help.h"

#include <shellapi.h>

static void ShellOpenA(const char* address) {
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

static void ShellOpenW(const wchar_t* address) {
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void (*OpenWebPageA)(const char* address) = ShellOpenA;
void (*OpenWebPageW)(const wchar_t* address) = ShellOpenW;
