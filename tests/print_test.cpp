// Printing without a printer: the page geometry, the job name, the RTF
// copy for the hidden control, and the program's own pagination and
// drawing on memory and metafile device contexts.
#include "harness.h"

#include <richedit.h>

#include <algorithm>

#include "app/app.h"
#include "print/print.h"
#include "resources/resource.h"
#include "view/view.h"

namespace {

using Pages = std::vector<std::vector<std::wstring>>;

Pages PagesAsText(const std::wstring& text, const std::vector<PrintedPage>& pages) {
    Pages result;
    for (const PrintedPage& page : pages) {
        result.emplace_back();
        for (const PrintedLine& line : page) result.back().push_back(text.substr(line.start, line.length));
    }
    return result;
}

std::string Describe(const Pages& pages) {
    std::string out;
    for (size_t p = 0; p < pages.size(); ++p) {
        out += "[page " + std::to_string(p + 1) + ":";
        for (const std::wstring& line : pages[p]) out += " \"" + Narrow(line) + "\"";
        out += "] ";
    }
    return out;
}

std::string Visible(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\r')
            out += "\\r";
        else if (c == L'\n')
            out += "\\n";
        else if (c == L'\t')
            out += "\\t";
        else if (c == L'\v')
            out += "\\v";
        else
            out += Narrow(std::wstring(1, c));
    }
    return out;
}

// A monospaced face from the editor's table, on a memory device context,
// so that widths can be given in characters.
class MonospacedText {
public:
    MonospacedText() : dc_(CreateCompatibleDC(nullptr)) {
        for (int i = 0; i < FontCount && !font_; ++i) {
            if (!IsFontInstalled(dc_, FontTable[i])) continue;
            HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, FontTable[i]);
            HGDIOBJ previous = SelectObject(dc_, font);
            TEXTMETRICW metrics = {};
            GetTextMetricsW(dc_, &metrics);
            SIZE size = {};
            GetTextExtentPoint32W(dc_, L"x", 1, &size);
            SelectObject(dc_, previous);
            // The flag is set for a face that is NOT fixed-pitch.
            if (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) {
                DeleteObject(font);
                continue;
            }
            font_ = font;
            charWidth = size.cx;
            lineHeight = metrics.tmHeight;
            face = FontTable[i];
        }
        tabWidth = MulDiv(720, GetDeviceCaps(dc_, LOGPIXELSX), 1440);
    }
    ~MonospacedText() {
        if (font_) DeleteObject(font_);
        DeleteDC(dc_);
    }
    bool Ready() const { return font_ != nullptr; }
    RECT Area(int widthPixels, int lines) const {
        return {30, 40, 30 + widthPixels, 40 + lines * lineHeight};
    }
    Pages Paginate(const std::wstring& text, const RECT& area) const {
        return PagesAsText(text, PaginatePlainText(text, font_, dc_, area));
    }
    HFONT font() const { return font_; }
    HDC dc() const { return dc_; }

    int charWidth = 0, lineHeight = 0, tabWidth = 0;
    std::wstring face;

private:
    HDC dc_;
    HFONT font_ = nullptr;
};

struct TextRecord {
    std::wstring text;
    POINTL origin;
};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM found) {
    if (record->iType == EMR_EXTTEXTOUTW) {
        auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        auto* chars =
            reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        reinterpret_cast<std::vector<TextRecord>*>(found)->push_back(
            {std::wstring(chars, text->emrtext.nChars), text->emrtext.ptlReference});
    }
    return 1;
}

}  // namespace

// ---- Page geometry -------------------------------------------------------

TEST(PageGeometry, TextRectangleIsHalfAnInchInsideThePrintableArea) {
    struct Case {
        int horzRes, vertRes, dpiX, dpiY;
        RECT expected;
        const char* what;
    } cases[] = {
        {2400, 3150, 300, 300, {720, 720, 10800, 14400}, "8 x 10.5 in at 300 dpi"},
        {4800, 6300, 600, 600, {720, 720, 10800, 14400}, "8 x 10.5 in at 600 dpi"},
        {4800, 3150, 600, 300, {720, 720, 10800, 14400}, "8 x 10.5 in, 600 x 300 dpi"},
        {2479, 3508, 300, 300, {720, 720, 11179, 16118}, "A4 at 300 dpi (rounded twips)"},
        {612, 792, 72, 72, {720, 720, 11520, 15120}, "Letter at 72 dpi"},
        {300, 300, 300, 300, {720, 720, 720, 720}, "a one-inch label: nothing left"},
    };
    for (const Case& c : cases) {
        RECT r = ComputeTextRectangle(c.horzRes, c.vertRes, c.dpiX, c.dpiY);
        EXPECT_TRUE(EqualRect(&r, &c.expected))
            << c.what << ": got " << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom;
    }
}

// ---- Job name ------------------------------------------------------------

TEST(JobName, IsTheDocumentNameWithoutItsLastExtension) {
    struct Case {
        const wchar_t* document;
        const wchar_t* job;
    } cases[] = {
        {L"minutes.draft.txt", L"minutes.draft"},
        {L"archive.tar.gz", L"archive.tar"},
        {L"New Document", L"New Document"},
        {L"notes.txt", L"notes"},
        {L"README", L"README"},
        {L"trailing.", L"trailing"},
        {L".profile", L".profile"},  // cutting there would leave no name
        {L"..hidden.txt", L"..hidden"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JobNameFromDocumentName(c.document), c.job) << Narrow(c.document);
    }
}

// ---- Transfer buffer -----------------------------------------------------

TEST(TransferBuffer, HandsOverItsBytesInTheChunksAskedFor) {
    TransferBuffer transfer;
    LONG done = -1;
    BYTE chunk[4];
    EXPECT_EQ(StreamOutToString(reinterpret_cast<DWORD_PTR>(&transfer), (LPBYTE) "abcde", 5, &done), 0u);
    EXPECT_EQ(done, 5);
    EXPECT_EQ(StreamOutToString(reinterpret_cast<DWORD_PTR>(&transfer), (LPBYTE) "fgh", 3, &done), 0u);
    EXPECT_EQ(transfer.bytes, "abcdefgh");

    const char* expected[] = {"abc", "def", "gh", ""};
    for (const char* part : expected) {
        EXPECT_EQ(StreamInFromString(reinterpret_cast<DWORD_PTR>(&transfer), chunk, 3, &done), 0u) << part;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(chunk), done), part);
    }
    EXPECT_EQ(transfer.consumed, 8u);
}

// ---- The copy in the hidden control -------------------------------------

using RichTextCopy = AppFixture;

TEST_F(RichTextCopy, HoldsTheWholeDocumentOrTheSelection) {
    StartApp();
    SetEditorText(L"alpha beta\r\ngamma\tdelta\r\nlast");
    TransferBuffer whole = ExportRichText(EditControl, false);
    EXPECT_EQ(whole.bytes.rfind("{\\rtf", 0), 0u) << whole.bytes.substr(0, 40);
    ImportRichText(HiddenEditControl, whole);
    std::wstring editor = EditorText();
    wchar_t copy[200] = {};
    GetWindowTextW(HiddenEditControl, copy, 200);
    EXPECT_EQ(Visible(copy), Visible(editor));

    SendMessageW(EditControl, EM_SETSEL, 6, 16);  // "beta", the break, "gamma"
    TransferBuffer selected = ExportRichText(EditControl, true);
    ImportRichText(HiddenEditControl, selected);
    GetWindowTextW(HiddenEditControl, copy, 200);
    EXPECT_EQ(Visible(copy), "beta\\r\\ngamma");
}

TEST_F(RichTextCopy, HoldsMoreThanTheControlsDefaultLimit) {
    StartApp();
    std::wstring text;
    for (int i = 0; text.size() < 100000; ++i) text += L"word" + std::to_wstring(i) + L" ";
    SetEditorText(text);
    TransferBuffer copy = ExportRichText(EditControl, false);
    ImportRichText(HiddenEditControl, copy);
    EXPECT_EQ(SendMessageW(HiddenEditControl, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(text.size()));
    EXPECT_GE(SendMessageW(HiddenEditControl, EM_GETLIMITTEXT, 0, 0), EditorTextLimit);
}

TEST_F(RichTextCopy, IsBlackOnWhiteWhateverTheTheme) {
    StartApp();
    SendCommand(IDM_THEME_FIRST + 3);  // "Dark Blue 2": yellow on near-black
    SetEditorText(L"yellow on black\r\nsecond line");
    ApplyThemeTextColour();
    TransferBuffer copy = ExportRichText(EditControl, false);
    ImportRichText(HiddenEditControl, copy);

    auto wholeFormat = [] {
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        SendMessageW(HiddenEditControl, EM_SETSEL, 0, -1);
        SendMessageW(HiddenEditControl, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    };
    ASSERT_EQ(wholeFormat().crTextColor, ThemeTable[3].text)
        << "the copy should arrive in the theme's colour";

    ForceBlackOnWhite(HiddenEditControl);
    CHARFORMAT2W format = wholeFormat();
    EXPECT_EQ(format.dwMask & (CFM_COLOR | CFM_BACKCOLOR), static_cast<DWORD>(CFM_COLOR | CFM_BACKCOLOR));
    EXPECT_EQ(format.dwEffects & (CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR), 0u);
    EXPECT_EQ(format.crTextColor, RGB(0, 0, 0));
    EXPECT_EQ(format.crBackColor, RGB(255, 255, 255));
}

// The pages are laid out over character positions, where a line break
// counts once: a range to a count of CR LF pairs would end past the text.
static CHARRANGE FirstFormatRange = {-1, -1};
static LRESULT CALLBACK RecordFormatRange(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR) {
    if (message == EM_FORMATRANGE && lParam && FirstFormatRange.cpMin < 0)
        FirstFormatRange = reinterpret_cast<FORMATRANGE*>(lParam)->chrg;
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(RichTextCopy, PagesAreLaidOutToTheLastCharacter) {
    StartApp();
    SetEditorText(L"one\r\ntwo\r\n\r\nthree");
    TransferBuffer copy = ExportRichText(EditControl, false);
    ImportRichText(HiddenEditControl, copy);
    SetWindowSubclass(HiddenEditControl, RecordFormatRange, 1, 0);
    HDC metafile = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    PrintCopyPages(metafile, HiddenEditControl);
    DeleteEnhMetaFile(CloseEnhMetaFile(metafile));
    RemoveWindowSubclass(HiddenEditControl, RecordFormatRange, 1);
    std::wstring text = WindowText(HiddenEditControl);
    ASSERT_NE(text.find(L"\r\n"), std::wstring::npos);
    EXPECT_EQ(FirstFormatRange.cpMin, 0);
    EXPECT_EQ(FirstFormatRange.cpMax,
              static_cast<LONG>(text.size() - std::count(text.begin(), text.end(), L'\n')))
        << Visible(text);
}

// ---- Pagination of plain text -------------------------------------------

class PlainTextPages : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mono.Ready()) GTEST_SKIP() << "no monospaced face of the editor's table is installed";
    }
    MonospacedText mono;
};

TEST_F(PlainTextPages, BreakLinesAndPages) {
    struct Case {
        const wchar_t* text;
        Pages expected;
        const char* what;
    } cases[] = {
        {L"", {}, "an empty text has no page"},
        {L"abc", {{L"abc"}}, "one short line"},
        {L"abc\r\ndef\rghi\njkl",
         {{L"abc", L"def", L"ghi"}, {L"jkl"}},
         "CR LF, CR and LF; three lines a page"},
        {L"ab\vcd", {{L"ab", L"cd"}}, "the control's line break inside a paragraph"},
        {L"abc\r\n", {{L"abc"}}, "a final break adds no line"},
        {L"abc\r\n\r\n", {{L"abc", L""}}, "an empty line before the final break stays"},
        {L"\r\n\r\n\r\n\r\n", {{L"", L"", L""}, {L""}}, "empty lines fill pages too"},
        {L"aaaa bbbb cccc", {{L"aaaa bbbb", L"cccc"}}, "wraps at the last blank that fits"},
        {L"aaaa bbbbb", {{L"aaaa bbbbb"}}, "exactly the width fits"},
        {L"aaaaaaaaaaaaaaa", {{L"aaaaaaaaaa", L"aaaaa"}}, "a word longer than the line breaks inside"},
        {L"aa   bbbbbbbbbb", {{L"aa", L"bbbbbbbbbb"}}, "a run of blanks hangs at the line's end"},
        {L"abcdefgh      xyz", {{L"abcdefgh", L"xyz"}}, "blanks past the edge start no line"},
        {L"abc            ", {{L"abc"}}, "trailing blanks past the edge add no line"},
        {L"   aaaaaaaaaaaa", {{L"   aaaaaaa", L"aaaaa"}}, "an indented long word breaks inside"},
        {L"one two three four five six seven",
         {{L"one two", L"three four", L"five six"}, {L"seven"}},
         "words flow over pages in order"},
    };
    RECT area = mono.Area(10 * mono.charWidth, 3);
    for (const Case& c : cases) {
        Pages pages = mono.Paginate(c.text, area);
        EXPECT_EQ(pages, c.expected) << c.what << ": got " << Describe(pages);
    }
}

TEST_F(PlainTextPages, TabsAdvanceToTheControlsHalfInchStops) {
    ASSERT_GT(mono.tabWidth, 3 * mono.charWidth) << "the rows below assume a tab wider than three characters";
    // Room for one character after the first stop.
    RECT area = mono.Area(mono.tabWidth + mono.charWidth, 5);
    struct Case {
        const wchar_t* text;
        Pages expected;
    } cases[] = {
        {L"\tx", {{L"\tx"}}},
        {L"ab\tc", {{L"ab\tc"}}},
        {L"ab\tcd", {{L"ab", L"cd"}}},  // a tab counted as one character would fit "ab\tcd"
        {L"\t\tx", {{L"\t", L"\tx"}}},
    };
    for (const Case& c : cases) {
        Pages pages = mono.Paginate(c.text, area);
        EXPECT_EQ(pages, c.expected) << Visible(c.text) << ": got " << Describe(pages);
    }
}

TEST_F(PlainTextPages, AVeryLongLineWrapsWhole) {
    // Lines wider than the runs the text is measured in.
    std::wstring text(2605, L'x');
    std::vector<PrintedPage> pages =
        PaginatePlainText(text, mono.font(), mono.dc(), mono.Area(300 * mono.charWidth, 3));
    ASSERT_EQ(pages.size(), 3u);  // nine lines, three a page
    size_t next = 0;
    for (const PrintedPage& page : pages) {
        for (const PrintedLine& line : page) {
            ASSERT_EQ(line.start, next);
            ASSERT_EQ(line.length, std::min<size_t>(300, text.size() - next)) << "line at " << next;
            next += line.length;
        }
    }
    EXPECT_EQ(next, text.size());
}

TEST_F(PlainTextPages, ATinyAreaStillMakesProgress) {
    Pages pages = mono.Paginate(L"abc", {0, 0, 1, 1});
    EXPECT_EQ(pages, (Pages{{L"a"}, {L"b"}, {L"c"}})) << Describe(pages);
}

TEST_F(PlainTextPages, DrawEachLineBlackAtItsPlace) {
    std::wstring text = L"first line\r\n\r\nthird\tcolumn";
    RECT area = mono.Area(40 * mono.charWidth, 10);
    HDC metafile = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    SetTextColor(metafile, RGB(255, 221, 87));
    std::vector<PrintedPage> pages = PaginatePlainText(text, mono.font(), metafile, area);
    ASSERT_EQ(pages.size(), 1u);
    DrawPlainTextPage(metafile, text, pages[0], mono.font(), area);
    EXPECT_EQ(GetTextColor(metafile), RGB(0, 0, 0));
    HENHMETAFILE recorded = CloseEnhMetaFile(metafile);

    std::vector<TextRecord> found;
    EnumEnhMetaFile(nullptr, recorded, CollectText, &found, nullptr);
    DeleteEnhMetaFile(recorded);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].text, L"first line");
    EXPECT_EQ(found[0].origin.x, area.left);
    EXPECT_EQ(found[0].origin.y, area.top);
    EXPECT_EQ(found[1].text, L"third");
    EXPECT_EQ(found[1].origin.y, area.top + 2 * mono.lineHeight);
    EXPECT_EQ(found[2].text, L"column");
    // The first stop past the end of "third".
    EXPECT_EQ(found[2].origin.x, area.left + (5 * mono.charWidth / mono.tabWidth + 1) * mono.tabWidth);
    EXPECT_EQ(found[2].origin.y, area.top + 2 * mono.lineHeight);
}
