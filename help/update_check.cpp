// Asking the vendor's server for the latest release and offering its
// download page when it is newer than this program.
#include "help/help.h"

#include <winhttp.h>

#include <new>
#include <optional>

BOOL(WINAPI* CloseInternetHandle)(void* handle) = WinHttpCloseHandle;

namespace {

// Closes a WinHTTP handle when it goes out of scope. Declared in the order
// of opening, the request closes first, then the connection, then the session.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) CloseInternetHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

}  // namespace

constexpr DWORD ReadLimit = 63;
// WinHTTP waits without end for a name and up to a minute for a connection;
// the check blocks the window, so a silent network must give up sooner.
constexpr int NetworkTimeoutMs = 10000;

static bool AcceptAnyCertificate(HINTERNET request) {
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                  SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    return WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags));
}

// An error page is no answer: its body would be taken for a version.
static bool ReceiveSuccess(HINTERNET request) {
    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return false;
    if (!WinHttpReceiveResponse(request, nullptr)) return false;
    DWORD status = 0;
    DWORD size = sizeof(status);
    return WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) &&
           status == HTTP_STATUS_OK;
}

// The server's answer is short: the first read is all that is taken.
static std::optional<std::string> ReadAnswer(HINTERNET request) {
    char buffer[ReadLimit] = {};
    DWORD read = 0;
    if (!WinHttpReadData(request, buffer, ReadLimit, &read) || read == 0) return std::nullopt;
    return TrimReceivedText(buffer, read);
}

static std::optional<std::string> Exchange(HINTERNET request, CertificateCheck certificates) {
    if (certificates == CertificateCheck::AcceptAny && !AcceptAnyCertificate(request)) return std::nullopt;
    if (!ReceiveSuccess(request)) return std::nullopt;
    std::optional<std::string> answer = ReadAnswer(request);
    if (!answer || !IsVersionNumber(*answer)) return std::nullopt;
    return answer;
}

static std::string DownloadPageAddress(const wchar_t* host, unsigned short port) {
    std::string address = "https://";
    for (const wchar_t* c = host; *c; ++c) address += static_cast<char>(*c);  // host names are ASCII
    if (port != INTERNET_DEFAULT_HTTPS_PORT) address += ":" + std::to_string(port);
    return address + "/releases";
}

static void ReportLatestVersion(const std::string& version, const std::string& downloadPage) {
    if (CompareVersions(version, BuiltInVersion) <= 0) {
        MessageBoxA(nullptr, "No new updates available.", "Update Check", MB_OK);
        return;
    }
    std::string text = "A new update is available: " + version + "\nDo you want to download it now?";
    if (MessageBoxA(nullptr, text.c_str(), "Update Available", MB_OKCANCEL) == IDOK) {
        OpenWebPageA(downloadPage.c_str());
    }
}

// Every failure, and any answer that is not a version number, ends the
// check silently. The handles stay open until the user has answered.
void CheckForUpdate(const wchar_t* host, unsigned short port, CertificateCheck certificates) {
    InternetHandle session(WinHttpOpen(L"Tavilo/HTTPClient", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return;
    if (!WinHttpSetTimeouts(session.get(), NetworkTimeoutMs, NetworkTimeoutMs, NetworkTimeoutMs,
                            NetworkTimeoutMs))
        return;
    InternetHandle connection(WinHttpConnect(session.get(), host, port, 0));
    if (!connection) return;
    InternetHandle request(WinHttpOpenRequest(connection.get(), L"GET", L"/releases/latest", nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              WINHTTP_FLAG_SECURE));
    if (!request) return;
    std::optional<std::string> version = Exchange(request.get(), certificates);
    if (version) ReportLatestVersion(*version, DownloadPageAddress(host, port));
}

// Runs inside the main window's procedure, which no exception may leave:
// running out of memory for the texts ends the check like any failure.
void CheckUpdateCommand() {
    try {
        CheckForUpdate(VendorHost, INTERNET_DEFAULT_HTTPS_PORT, CertificateCheck::Strict);
    } catch (const std::bad_alloc&) {
    }
}
