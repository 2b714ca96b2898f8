// The update check: version numbers, and the whole exchange against the
// local HTTPS server that scripts/test.sh starts (scripts/update_server.py),
// with real message boxes.
#include "harness.h"

#include <winhttp.h>

#include <fstream>
#include <map>

#include "dialog_watcher.h"
#include "help/help.h"
#include "resources/resource.h"

namespace {

// Version numbers.

struct TrimRow {
    std::string bytes;
    std::string expected;
};

TEST(ReceivedText, IsCutAtTheFirstZeroAndTrimmedAtTheEnd) {
    const TrimRow rows[] = {
        {"1.8.3\r\n", "1.8.3"},
        {"1.8.3 \t\r\n \n", "1.8.3"},
        {" 1.8.3", " 1.8.3"},  // leading blanks stay
        {" \r\n\t ", ""},
        {"", ""},
        {std::string("1.8\0.9", 6), "1.8"},
        {std::string("\0"
                     "1.8.3",
                     6),
         ""},
        {"1.8.3\v", "1.8.3\v"},  // only blank, CR, LF and tab are trimmed
        {"a b \r\n", "a b"},
    };
    for (const TrimRow& row : rows) {
        EXPECT_EQ(TrimReceivedText(row.bytes.data(), row.bytes.size()), row.expected)
            << "bytes \"" << row.bytes << "\"";
    }
}

TEST(VersionNumber, IsADottedSequenceOfDecimalNumbers) {
    const std::pair<const char*, bool> rows[] = {
        {"1.9.0", true},     {"1", true},     {"1.10.0", true},  {"007.1", true},
        {"1.8.3.0.0", true}, {"", false},     {" 1.8.3", false}, {"1.8.3 ", false},
        {"1..3", false},     {".1", false},   {"1.", false},     {"v1.9", false},
        {"1.9-beta", false}, {"+1.2", false}, {"1,9", false},    {"<!DOCTYPE html>", false},
        {"-1.0", false},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(IsVersionNumber(text), expected) << "\"" << text << "\"";
}

TEST(VersionNumber, ComparesPartByPartAsNumbers) {
    struct Row {
        const char* a;
        const char* b;
        int order;  // the sign of CompareVersions(a, b)
    };
    const Row rows[] = {
        {"1.8.4", "1.8.3", 1},
        {"1.8.3", "1.8.3", 0},
        {"1.8.2", "1.8.3", -1},
        {"1.10.0", "1.9.0", 1},
        {"1.9.0", "1.10.0", -1},
        {"1.9", "1.8.3", 1},
        {"1.8", "1.8.0", 0},  // a missing part counts as 0
        {"1.8.3.0", "1.8.3", 0},
        {"1.8.3.1", "1.8.3", 1},
        {"1.8", "1.8.3", -1},
        {"01.08.03", "1.8.3", 0},
        {"2", "1.99.99", 1},
        {"0.0.0", "0", 0},
        {"99999999999999999999.0", "99999999999999999998.9", 1},  // beyond 64 bits
        {"1.8.100", "1.8.99", 1},
    };
    for (const Row& row : rows) {
        int order = CompareVersions(row.a, row.b);
        int sign = (order > 0) - (order < 0);
        EXPECT_EQ(sign, row.order) << row.a << " against " << row.b;
    }
}

// The local server and what a check leaves behind.

// The ports of scripts/update_server.py, one per answer, from the file it
// writes into the build folder.
std::map<std::string, unsigned short> ServerPorts() {
    std::map<std::string, unsigned short> ports;
    std::ifstream file(Narrow(TestProgramFolder() + L"..\\..\\update_server\\ports"));
    std::string name;
    unsigned short port = 0;
    while (file >> name >> port) ports[name] = port;
    return ports;
}

struct ClosedHandle {
    HINTERNET handle;
    bool isRequest;  // only a request has security flags
    DWORD securityFlags;
    HINTERNET parent;  // the session of a connection
    bool closed;
    DWORD timeouts[4];  // resolve, connect, send, receive; 0 where they cannot be read
};

std::vector<ClosedHandle> Closed;

BOOL WINAPI RecordClose(void* handle) {
    ClosedHandle record = {handle, false, 0, nullptr, false, {}};
    DWORD size = sizeof(record.securityFlags);
    record.isRequest =
        WinHttpQueryOption(handle, WINHTTP_OPTION_SECURITY_FLAGS, &record.securityFlags, &size);
    size = sizeof(record.parent);
    WinHttpQueryOption(handle, WINHTTP_OPTION_PARENT_HANDLE, &record.parent, &size);
    const DWORD options[4] = {WINHTTP_OPTION_RESOLVE_TIMEOUT, WINHTTP_OPTION_CONNECT_TIMEOUT,
                              WINHTTP_OPTION_SEND_TIMEOUT, WINHTTP_OPTION_RECEIVE_TIMEOUT};
    for (int i = 0; i < 4; ++i) {
        size = sizeof(DWORD);
        if (!WinHttpQueryOption(handle, options[i], &record.timeouts[i], &size)) record.timeouts[i] = 0;
    }
    record.closed = WinHttpCloseHandle(handle);
    Closed.push_back(record);
    return record.closed;
}

std::vector<std::string> Opened;

void RecordOpen(const char* address) { Opened.push_back(address); }

struct CheckResult {
    std::vector<DialogInfo> seen;
    std::vector<std::string> opened;
    std::vector<ClosedHandle> closed;
};

// Runs the check against one port of the local server, answering a box
// with `answer` where it has that button and with OK otherwise.
CheckResult RunCheck(unsigned short port, int answer,
                     CertificateCheck certificates = CertificateCheck::AcceptAny) {
    Closed.clear();
    Opened.clear();
    auto closeBefore = CloseInternetHandle;
    auto openBefore = OpenWebPageA;
    CloseInternetHandle = RecordClose;
    OpenWebPageA = RecordOpen;
    CheckResult result;
    {
        DialogWatcher watcher([answer](const DialogInfo& info) {
            PressButton(info.window, info.HasButton(answer) ? answer : IDOK);
        });
        CheckForUpdate(L"127.0.0.1", port, certificates);
        result.seen = watcher.Seen();
    }
    CloseInternetHandle = closeBefore;
    OpenWebPageA = openBefore;
    result.opened = Opened;
    result.closed = Closed;
    return result;
}

// The request, the connection and the session were each closed, in that
// order, and the request ignored certificate errors only when asked to.
void ExpectAllClosed(const std::vector<ClosedHandle>& closed, CertificateCheck certificates,
                     const std::string& label) {
    ASSERT_EQ(closed.size(), 3u) << label;
    for (const ClosedHandle& record : closed) EXPECT_TRUE(record.closed) << label;
    EXPECT_TRUE(closed[0].isRequest) << label << ": the request first";
    EXPECT_FALSE(closed[1].isRequest) << label;
    EXPECT_EQ(closed[1].parent, closed[2].handle) << label << ": then the connection";
    EXPECT_EQ(closed[2].parent, nullptr) << label << ": the session last";
    const DWORD ignored = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                          SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    DWORD expected = certificates == CertificateCheck::AcceptAny ? ignored : 0;
    EXPECT_EQ(closed[0].securityFlags & ignored, expected) << label;
}

class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ports = ServerPorts();
        ASSERT_TRUE(ports.count("newer") && ports.count("closed"))
            << "the local update server is not running; scripts/test.sh starts it";
    }
    std::map<std::string, unsigned short> ports;
};

const char NoUpdate[] = "No new updates available.";

std::string Offer(const std::string& version) {
    return "A new update is available: " + version + "\nDo you want to download it now?";
}

struct ServerCase {
    const char* port;
    const char* text;  // the box's message; null when nothing must show
};

TEST_F(UpdateCheck, AnswersOfTheServer) {
    std::string longText = "1.8.4";
    for (int i = 0; i < 29; ++i) longText += ".0";
    const std::string offerLong = Offer(longText);  // only the first 63 of 100 bytes
    const std::string offerNewer = Offer("1.8.4");
    const std::string offerMinor = Offer("1.10.0");
    const ServerCase cases[] = {
        {"current_crlf", NoUpdate},
        {"older", NoUpdate},
        {"newer", offerNewer.c_str()},
        {"newer_minor", offerMinor.c_str()},
        {"long", offerLong.c_str()},
        {"leading_blank", nullptr},
        {"blanks", nullptr},
        {"not_found", nullptr},
        {"unavailable", nullptr},  // a version number, but not in a successful answer
        {"html", nullptr},
        {"closed", nullptr},  // no server at all
    };
    for (const ServerCase& row : cases) {
        CheckResult result = RunCheck(ports[row.port], IDCANCEL);
        ExpectAllClosed(result.closed, CertificateCheck::AcceptAny, row.port);
        EXPECT_TRUE(result.opened.empty()) << row.port;
        if (!row.text) {
            EXPECT_TRUE(result.seen.empty())
                << row.port << " showed \"" << Narrow(result.seen[0].text) << "\"";
            continue;
        }
        ASSERT_EQ(result.seen.size(), 1u) << row.port;
        const DialogInfo& box = result.seen[0];
        EXPECT_EQ(Narrow(box.text), row.text) << row.port;
        EXPECT_EQ(box.IconName(), "") << row.port;
        bool offer = row.text != NoUpdate;
        EXPECT_EQ(box.caption, offer ? L"Update Available" : L"Update Check") << row.port;
        EXPECT_TRUE(box.HasButton(IDOK)) << row.port;
        EXPECT_EQ(box.HasButton(IDCANCEL), offer) << row.port;
        EXPECT_EQ(box.buttons.size(), offer ? 2u : 1u) << row.port;
    }
}

TEST_F(UpdateCheck, OkOpensTheDownloadPageOnTheSameServer) {
    unsigned short port = ports["newer"];
    CheckResult result = RunCheck(port, IDOK);
    ASSERT_EQ(result.seen.size(), 1u);
    EXPECT_EQ(result.seen[0].caption, L"Update Available");
    ASSERT_EQ(result.opened.size(), 1u);
    EXPECT_EQ(result.opened[0], "https://127.0.0.1:" + std::to_string(port) + "/releases");
    ExpectAllClosed(result.closed, CertificateCheck::AcceptAny, "OK");
}

TEST_F(UpdateCheck, StrictCertificatesRefuseTheSelfSignedServer) {
    CheckResult result = RunCheck(ports["newer"], IDOK, CertificateCheck::Strict);
    EXPECT_TRUE(result.seen.empty()) << "the test server's own certificate was trusted";
    ExpectAllClosed(result.closed, CertificateCheck::Strict, "strict");
}

TEST_F(UpdateCheck, WaitsAtMostTenSecondsForEachStep) {
    CheckResult result = RunCheck(ports["newer"], IDCANCEL);
    ASSERT_EQ(result.closed.size(), 3u);
    const ClosedHandle& session = result.closed[2];
    if (session.timeouts[0] == 0 && session.timeouts[1] == 0) {
        GTEST_SKIP() << "this WinHTTP does not report a session's time-outs";
    }
    for (DWORD timeout : session.timeouts) EXPECT_EQ(timeout, 10000u);
}

// Command 200 asks the vendor's own host, a name that resolves nowhere, so
// here it ends silently, with every handle closed.
using CheckUpdateCommandTest = AppFixture;

TEST_F(CheckUpdateCommandTest, EndsSilentlyWithoutTheVendorsServer) {
    StartApp();
    Closed.clear();
    CloseInternetHandle = RecordClose;
    DialogWatcher watcher(Press(IDCANCEL));
    SendCommand(IDM_HELP_CHECK_UPDATE);
    CloseInternetHandle = WinHttpCloseHandle;
    EXPECT_TRUE(watcher.Seen().empty());
    ExpectAllClosed(Closed, CertificateCheck::Strict, "command 200");
}

}  // namespace
