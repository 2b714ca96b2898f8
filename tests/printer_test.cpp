// Printing on a real printer: command 105 answered in Wine's print dialog,
// the job spooled through CUPS to the cups-pdf printer that scripts/test.sh
// sets up, and the PDF read back with poppler's tools.
#include "harness.h"
#include "dialog_watcher.h"

#include <dlgs.h>
#include <richedit.h>
#include <winspool.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

#include "app/app.h"
#include "document/document.h"
#include "print/print.h"
#include "print/scoped_gdi.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

// ---- Unix side: paths and the poppler tools ------------------------------

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length && length < 1024 ? value : L"";
}

struct ShellResult {
    int code = -1;
    std::string output;
};

// Wine starts a Unix program named by its path (no process handle comes
// back), so the script leaves its exit code in a file, written last.
ShellResult RunShell(const std::string& script) {
    static int runs = 0;
    std::wstring base = ScratchPath(L"shell" + std::to_wstring(++runs));
    std::string output = UnixPath(base + L".out"), code = UnixPath(base + L".code");
    std::string command = "( " + script + " ) >'" + output + "' 2>&1; echo $? >'" + code + ".part'; mv '" +
                          code + ".part' '" + code + "'";
    EXPECT_EQ(command.find('"'), std::string::npos) << "the script is passed inside double quotes";
    std::wstring commandLine = L"/bin/sh -c \"" + Widen(command) + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    ShellResult result;
    if (!CreateProcessW(DosPath("/bin/sh").c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        result.output = "CreateProcessW failed: " + std::to_string(GetLastError());
        return result;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    std::wstring codeFile = base + L".code";
    if (!PumpUntil([&] { return GetFileAttributesW(codeFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000)) {
        result.output = "the shell did not finish: " + script;
        return result;
    }
    result.code = atoi(ReadBytes(codeFile).c_str());
    result.output = ReadBytes(base + L".out");
    return result;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::string PdfInfoField(const std::string& info, const std::string& field) {
    for (const std::string& line : SplitLines(info)) {
        if (line.rfind(field + ":", 0) != 0) continue;
        size_t value = line.find_first_not_of(' ', field.size() + 1);
        return value == std::string::npos ? "" : line.substr(value);
    }
    return "";
}

struct PdfWord {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

double Attribute(const std::string& line, const std::string& name) {
    size_t at = line.find(name + "=\"");
    return at == std::string::npos ? -1 : atof(line.c_str() + at + name.size() + 2);
}

// The words of one page with their boxes, in points from the page's top left.
std::vector<PdfWord> PdfWordBoxes(const std::string& pdf, int page) {
    std::string p = std::to_string(page);
    ShellResult bbox = RunShell("pdftotext -bbox -f " + p + " -l " + p + " " + Quoted(pdf) + " -");
    EXPECT_EQ(bbox.code, 0) << bbox.output;
    std::vector<PdfWord> words;
    for (const std::string& line : SplitLines(bbox.output)) {
        size_t open = line.find('>'), close = line.find("</word>");
        if (line.find("<word ") == std::string::npos || close == std::string::npos) continue;
        words.push_back({Attribute(line, "xMin"), Attribute(line, "yMin"), Attribute(line, "xMax"),
                         Attribute(line, "yMax"), line.substr(open + 1, close - open - 1)});
    }
    return words;
}

struct Picture {
    int width = 0, height = 0;
    std::string rgb;  // three bytes a pixel, rows from the top
    int Channel(int x, int y, int c) const {
        return static_cast<unsigned char>(rgb[(y * width + x) * 3 + c]);
    }
};

// A page rendered by pdftoppm as a binary PPM ("P6 width height 255").
Picture RenderPage(const std::string& pdf, int page, int dpi) {
    std::wstring base = ScratchPath(L"page" + std::to_wstring(page));
    std::string p = std::to_string(page);
    ShellResult render = RunShell("pdftoppm -r " + std::to_string(dpi) + " -f " + p + " -l " + p +
                                  " -singlefile " + Quoted(pdf) + " " + Quoted(UnixPath(base)));
    EXPECT_EQ(render.code, 0) << render.output;
    std::string bytes = ReadBytes(base + L".ppm");
    Picture picture;
    std::istringstream header(bytes);
    std::string magic;
    int maximum = 0;
    header >> magic >> picture.width >> picture.height >> maximum;
    size_t start = static_cast<size_t>(header.tellg()) + 1;
    EXPECT_EQ(magic, "P6");
    if (magic != "P6" || bytes.size() < start + size_t(picture.width) * picture.height * 3) return Picture();
    picture.rgb = bytes.substr(start);
    return picture;
}

// ---- The printer ----------------------------------------------------------

std::wstring DefaultPrinter() {
    wchar_t name[256] = {};
    DWORD size = 256;
    return GetDefaultPrinterW(name, &size) ? name : L"";
}

// Empty when the PDF printer is there; otherwise why the tests cannot run.
std::string PrinterMissingReason() {
    std::wstring printer = Environment(L"TAVILO_PDF_PRINTER");
    if (printer.empty() || Environment(L"TAVILO_PDF_FOLDER").empty())
        return "no PDF printer: scripts/test.sh sets one up with CUPS and cups-pdf, and said why it could "
               "not";
    if (DosPath("/").empty() || UnixPath(L"C:\\").empty())
        return "not under Wine: the PDF is read back through Wine's Unix paths";
    std::wstring chosen = DefaultPrinter();
    if (chosen != printer)
        return "the default printer is \"" + Narrow(chosen) + "\", not the PDF printer " + Narrow(printer);
    return "";
}

struct PrintableArea {
    double left, top, right, bottom;  // points, on the paper
};

PrintableArea PrintableAreaOf(HDC printer) {
    double x = GetDeviceCaps(printer, LOGPIXELSX) / 72.0, y = GetDeviceCaps(printer, LOGPIXELSY) / 72.0;
    double left = GetDeviceCaps(printer, PHYSICALOFFSETX) / x,
           top = GetDeviceCaps(printer, PHYSICALOFFSETY) / y;
    return {left, top, left + GetDeviceCaps(printer, HORZRES) / x, top + GetDeviceCaps(printer, VERTRES) / y};
}

std::wstring Numbered(const wchar_t* prefix, int i) {
    wchar_t number[16];
    wsprintfW(number, L"%03d", i);
    return prefix + std::wstring(number);
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += (text.empty() ? L"" : L"\r\n") + line;
    return text;
}

struct DialogAnswer {
    std::vector<DialogInfo> seen;
    bool selectionChoiceEnabled = false;
    bool selectionChosen = false;  // the dialog opened with "Selection" chosen
};

class Printing : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        std::string reason = PrinterMissingReason();
        if (!reason.empty()) GTEST_SKIP() << reason;
        folder_ = Narrow(Environment(L"TAVILO_PDF_FOLDER"));
        known_ = PdfFiles();
    }

    void TearDown() override {
        AppFixture::TearDown();
        for (const std::string& pdf : produced_) DeleteFileW(DosPath(pdf).c_str());
    }

    // Command 105, answered in the print dialog with the given button.
    DialogAnswer PrintAnswering(int button) {
        DialogAnswer answer;
        DialogWatcher watcher([&](const DialogInfo& dialog) {
            HWND selection = GetDlgItem(dialog.window, rad2);
            if (answer.seen.empty()) {
                answer.selectionChoiceEnabled = selection && IsWindowEnabled(selection);
                answer.selectionChosen = selection && IsDlgButtonChecked(dialog.window, rad2) == BST_CHECKED;
            }
            answer.seen.push_back(dialog);
            PressButton(dialog.window, button);
        });
        SendCommand(IDM_FILE_PRINT);
        return answer;
    }

    // The PDF of the job with this name, once cups-pdf has written all of
    // it; PDFs of other jobs that appear meanwhile are left alone.
    std::string WaitForPdf(const std::string& jobName) {
        std::string found;
        PumpUntil(
            [&] {
                for (const std::string& name : PdfFiles()) {
                    if (known_.count(name)) continue;
                    std::string path = folder_ + "/" + name;
                    std::string bytes = ReadBytes(DosPath(path));
                    if (bytes.find("%%EOF", bytes.size() > 64 ? bytes.size() - 64 : 0) == std::string::npos)
                        continue;  // still being written
                    known_.insert(name);
                    ShellResult info = RunShell("pdfinfo " + Quoted(path));
                    if (PdfInfoField(info.output, "Title") != jobName) continue;
                    produced_.push_back(path);
                    found = path;
                    return true;
                }
                return false;
            },
            90000);
        EXPECT_FALSE(found.empty()) << "no PDF of the job \"" << jobName << "\" appeared in " << folder_;
        return found;
    }

    std::set<std::string> PdfFiles() const {
        std::set<std::string> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((DosPath(folder_) + L"\\*.pdf").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do names.insert(Narrow(found.cFileName));
        while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    int PageCount(const std::string& pdf) {
        return atoi(PdfInfoField(RunShell("pdfinfo " + Quoted(pdf)).output, "Pages").c_str());
    }

    std::string PdfText(const std::string& pdf) {
        ShellResult text = RunShell("pdftotext -enc UTF-8 " + Quoted(pdf) + " -");
        EXPECT_EQ(text.code, 0) << text.output;
        return text.output;
    }

    std::string folder_;
    std::set<std::string> known_;
    std::vector<std::string> produced_;
};

}  // namespace

TEST_F(Printing, WholeDocumentPrintsOverSeveralPagesInOrder) {
    StartApp();
    std::vector<std::wstring> lines;
    for (int i = 1; i <= 200; ++i) lines.push_back(Numbered(L"Line ", i) + L" of the minutes");
    SetEditorText(JoinLines(lines));

    DialogAnswer answer = PrintAnswering(IDOK);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].caption, L"Print");
    EXPECT_FALSE(answer.selectionChoiceEnabled)
        << "without a selection the dialog offers no selection choice";

    std::string pdf = WaitForPdf("New Document");
    ASSERT_FALSE(pdf.empty());
    EXPECT_GT(PageCount(pdf), 1);
    std::string text = PdfText(pdf);
    std::replace(text.begin(), text.end(), '\f', '\n');  // pdftotext ends each page with a form feed
    std::vector<std::string> printed;
    for (const std::string& line : SplitLines(text)) {
        if (!line.empty()) printed.push_back(line);
    }
    std::vector<std::string> expected;
    for (const std::wstring& line : lines) expected.push_back(Narrow(line));
    EXPECT_EQ(printed, expected);
}

TEST_F(Printing, ASelectionPrintsAloneAndStaysSelected) {
    StartApp();
    SetEditorText(L"first line stays home\r\nsecond line goes out\r\nthird line stays home");
    Select(22, 42);  // "second line goes out"; a paragraph break counts one
    std::wstring before = EditorText();

    DialogAnswer answer = PrintAnswering(IDOK);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_TRUE(answer.selectionChoiceEnabled) << "with a selection the dialog offers the selection choice";
    EXPECT_TRUE(answer.selectionChosen) << "what prints is the selection, and the dialog says so";
    std::string pdf = WaitForPdf("New Document");
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(Words(PdfText(pdf)), Words("second line goes out"));

    EXPECT_EQ(Selection(), (Range{22, 42}));
    EXPECT_EQ(EditorText(), before);
}

TEST_F(Printing, CancellingTheDialogChangesNothing) {
    StartApp();
    SetEditorText(L"nothing of this prints");
    ASSERT_TRUE(PumpUntil([] { return IsModified; }));
    Select(8, 15);
    std::wstring title = WindowText(MainWindow);
    LRESULT modified = SendMessageW(EditControl, EM_GETMODIFY, 0, 0);

    DialogAnswer answer = PrintAnswering(IDCANCEL);
    ASSERT_EQ(answer.seen.size(), 1u) << "the print dialog should have opened";
    EXPECT_EQ(answer.seen[0].caption, L"Print");
    EXPECT_EQ(Selection(), (Range{8, 15}));
    EXPECT_EQ(EditorText(), L"nothing of this prints");
    EXPECT_EQ(SendMessageW(EditControl, EM_GETMODIFY, 0, 0), modified);
    EXPECT_EQ(WindowText(MainWindow), title);
    EXPECT_EQ(SendMessageW(HiddenEditControl, WM_GETTEXTLENGTH, 0, 0), 0) << "no copy was made for a printer";
}

TEST_F(Printing, ADarkThemePrintsBlackOnWhite) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 3);  // "Dark Blue 2": yellow on near-black
    std::vector<std::wstring> lines;
    for (int i = 1; i <= 30; ++i) lines.push_back(Numbered(L"Dark theme line ", i) + L" ############");
    SetEditorText(JoinLines(lines));
    PrintAnswering(IDOK);
    std::string pdf = WaitForPdf("New Document");
    ASSERT_FALSE(pdf.empty());

    Picture page = RenderPage(pdf, 1, 50);
    ASSERT_GT(page.width, 0);
    int white = 0, darkest = 255, mostColoured = 0;
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            int r = page.Channel(x, y, 0), g = page.Channel(x, y, 1), b = page.Channel(x, y, 2);
            if (r > 245 && g > 245 && b > 245) ++white;
            darkest = std::min(darkest, std::min(r, std::min(g, b)));
            mostColoured =
                std::max(mostColoured, std::max(std::abs(r - g), std::max(std::abs(g - b), std::abs(r - b))));
        }
    }
    EXPECT_GT(white, page.width * page.height * 9 / 10) << "the paper should stay white";
    EXPECT_LT(darkest, 80) << "the text should be black";
    EXPECT_LT(mostColoured, 40) << "nothing on the page should be coloured";
}

TEST_F(Printing, TheJobIsNamedWithoutTheLastExtension) {
    std::wstring path = ScratchPath(L"minutes.draft.txt");
    WriteBytes(path, "Minutes of the meeting\r\n");
    StartApp(L"\"" + TaviloExePath() + L"\" \"" + path + L"\"");
    ASSERT_EQ(DocumentName, L"minutes.draft.txt");
    PrintAnswering(IDOK);
    std::string pdf = WaitForPdf("minutes.draft");
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(Words(PdfText(pdf)), Words("Minutes of the meeting"));
}

TEST_F(Printing, AnEmptyNewDocumentEndsAJobWithoutText) {
    StartApp();
    DialogAnswer answer = PrintAnswering(IDOK);
    ASSERT_EQ(answer.seen.size(), 1u) << "no message should follow the print dialog";
    std::string pdf = WaitForPdf("New Document");
    ASSERT_FALSE(pdf.empty());
    EXPECT_TRUE(Words(PdfText(pdf)).empty());
    // cups-pdf turns a job without pages into one blank page.
    Picture page = RenderPage(pdf, 1, 20);
    ASSERT_GT(page.width, 0);
    EXPECT_EQ(page.rgb.find_first_not_of('\xff'), std::string::npos) << "the page should be blank";
}

TEST_F(Printing, TheTextSitsHalfAnInchInsideThePrintableArea) {
    StartApp();
    std::vector<std::wstring> lines;
    for (int i = 1; i <= 80; ++i) {
        std::wstring line = Numbered(L"M", i);
        while (line.size() < 150) line += L" margin";
        lines.push_back(line);
    }
    SetEditorText(JoinLines(lines));
    PrintAnswering(IDOK);
    std::string pdf = WaitForPdf("New Document");
    ASSERT_FALSE(pdf.empty());

    ScopedDeviceContext printer(CreateDCW(L"WINSPOOL", DefaultPrinter().c_str(), nullptr, nullptr));
    ASSERT_TRUE(printer.get() != nullptr);
    PrintableArea area = PrintableAreaOf(printer.get());
    std::vector<PdfWord> words = PdfWordBoxes(pdf, 1);
    ASSERT_FALSE(words.empty());
    double left = 1e9, top = 1e9, right = 0, bottom = 0;
    for (const PdfWord& word : words) {
        left = std::min(left, word.xMin);
        top = std::min(top, word.yMin);
        right = std::max(right, word.xMax);
        bottom = std::max(bottom, word.yMax);
    }
    EXPECT_EQ(words[0].text, "M001");
    EXPECT_NEAR(left, area.left + 36, 0.5);
    EXPECT_NEAR(top, area.top + 36, 3.0);
    // Wrapped lines reach close to the right margin, and the page fills
    // down to the bottom one, without crossing either.
    EXPECT_LE(right, area.right - 36 + 0.5);
    EXPECT_GT(right, area.right - 36 - 40);
    EXPECT_LE(bottom, area.bottom - 36 + 0.5);
    EXPECT_GT(bottom, area.bottom - 36 - 40);
}

TEST_F(Printing, EachLaidOutPageReachesThePrinterDriver) {
    StartApp();
    ScopedDeviceContext printer(CreateDCW(L"WINSPOOL", DefaultPrinter().c_str(), nullptr, nullptr));
    ASSERT_TRUE(printer.get() != nullptr);
    std::vector<std::wstring> lines;
    for (int i = 1; i <= 200; ++i) lines.push_back(Numbered(L"Line ", i));
    SetWindowTextW(HiddenEditControl, JoinLines(lines).c_str());
    FORMATRANGE range = {printer.get(),
                         printer.get(),
                         TextRectangleOfPrinter(printer.get()),
                         TextRectangleOfPrinter(printer.get()),
                         {0, -1}};
    bool controlLaysOutPages =
        SendMessageW(HiddenEditControl, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&range)) > 0;
    SendMessageW(HiddenEditControl, EM_FORMATRANGE, FALSE, 0);

    struct Case {
        std::wstring text;
        const char* what;
    } cases[] = {{L"", "an empty copy"}, {JoinLines(lines), "200 lines"}};
    for (const Case& c : cases) {
        SetWindowTextW(HiddenEditControl, c.text.c_str());
        // The driver writes its PostScript to a file instead of the queue.
        std::wstring output = ScratchPath(L"job.ps");
        DOCINFOW document = {sizeof(document)};
        document.lpszDocName = L"pages";
        document.lpszOutput = output.c_str();
        ASSERT_GT(StartDocW(printer.get(), &document), 0) << c.what;
        PrintCopyPages(printer.get(), HiddenEditControl);
        ASSERT_GT(EndDoc(printer.get()), 0) << c.what;

        std::string postscript = ReadBytes(output);
        ASSERT_EQ(postscript.rfind("%!PS", 0), 0u) << c.what;
        size_t pages = 0;
        for (size_t at = postscript.find("\n%%Page: "); at != std::string::npos;
             at = postscript.find("\n%%Page: ", at + 1))
            ++pages;
        if (c.text.empty()) {
            EXPECT_EQ(pages, 0u) << c.what;
        } else if (controlLaysOutPages) {
            EXPECT_GT(pages, 1u) << c.what;
        } else {
            ScopedGdiObject font(CreatePrinterFont(printer.get()));
            RECT area = TwipsToDevicePixels(printer.get(), TextRectangleOfPrinter(printer.get()));
            size_t expected =
                PaginatePlainText(c.text, static_cast<HFONT>(font.get()), printer.get(), area).size();
            EXPECT_GT(expected, 1u);
            EXPECT_EQ(pages, expected) << c.what;
        }
    }
}
