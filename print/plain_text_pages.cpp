// Plain-text pages: the text wrapped at the width of the text rectangle
// and cut into pages, then drawn black on the page. Used where the rich
// edit control lays out no pages itself.
#include "print/print.h"

#include <algorithm>

#include "print/scoped_gdi.h"

namespace {

// The rich edit control puts a tab stop every half inch unless told otherwise.
constexpr int DefaultTabTwips = 720;
// Text is measured in runs of at most this many characters, so a very long
// line costs time in proportion to what is printed of it, not to its length.
constexpr size_t MeasureRun = 256;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
// CR and LF end a paragraph; VT is the control's line break inside one.
bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\v'; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

struct LineMetrics {
    int width, lineHeight, tabWidth;
};

LineMetrics MeasureLines(HDC dc, const RECT& area) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    int tabWidth = MulDiv(DefaultTabTwips, GetDeviceCaps(dc, LOGPIXELSX), 1440);
    return {static_cast<int>(area.right - area.left), std::max(1, static_cast<int>(metrics.tmHeight)),
            std::max(1, tabWidth)};
}

// How many characters from the front of text fit in the width, tabs
// advancing to the next tab stop.
size_t CountFitting(HDC dc, const wchar_t* text, size_t count, const LineMetrics& line) {
    int x = 0;
    size_t position = 0;
    while (position < count) {
        if (text[position] == L'\t') {
            int next = (x / line.tabWidth + 1) * line.tabWidth;
            if (next > line.width) return position;
            x = next;
            ++position;
            continue;
        }
        size_t runEnd = position;
        while (runEnd < count && text[runEnd] != L'\t' && runEnd - position < MeasureRun) ++runEnd;
        int runLength = static_cast<int>(runEnd - position);
        int fit = 0;
        SIZE size = {};
        GetTextExtentExPointW(dc, text + position, runLength, line.width - x, &fit, nullptr, &size);
        if (fit < runLength) return position + std::max(fit, 0);
        x += size.cx;
        position = runEnd;
    }
    return count;
}

struct LineBreak {
    size_t lineEnd, next;
};

// Where a line that does not fit is cut: before the last run of blanks that
// starts inside the line (the blanks hang at its end, as in the control),
// or inside the word when the line has no such run. limit is the first
// character that does not fit. Every line takes at least one character,
// and a surrogate pair is never split.
LineBreak ChooseLineBreak(const std::wstring& text, size_t start, size_t limit, size_t end) {
    size_t blank = limit;
    if (!IsBlank(text[limit])) {
        while (blank > start && !IsBlank(text[blank - 1])) --blank;
        blank = blank > start ? blank - 1 : limit;
    }
    if (IsBlank(text[blank])) {
        size_t runStart = blank, runEnd = blank;
        while (runStart > start && IsBlank(text[runStart - 1])) --runStart;
        while (runEnd < end && IsBlank(text[runEnd])) ++runEnd;
        if (runStart > start) return {runStart, runEnd};
        if (runEnd == end) return {limit, end};  // nothing but blanks left: they hang
    }
    size_t cut = std::max(limit, start + 1);
    if (cut < end && IsLowSurrogate(text[cut])) cut = cut - 1 > start ? cut - 1 : cut + 1;
    return {cut, cut};
}

template <typename AddLine>
void WrapParagraph(HDC dc, const std::wstring& text, size_t start, size_t end, const LineMetrics& line,
                   AddLine addLine) {
    do {
        size_t fit = CountFitting(dc, text.data() + start, end - start, line);
        if (fit >= end - start) {
            addLine(start, end - start);
            return;
        }
        LineBreak cut = ChooseLineBreak(text, start, start + fit, end);
        addLine(start, cut.lineEnd - start);
        start = cut.next;
    } while (start < end);
}

size_t SkipLineBreak(const std::wstring& text, size_t position) {
    if (position + 1 < text.size() && text[position] == L'\r' && text[position + 1] == L'\n')
        return position + 2;
    return position + 1;
}

}  // namespace

// A line break ends the line before it, so a text that ends with one has
// no empty line after it (and no page that holds only that line).
std::vector<PrintedPage> PaginatePlainText(const std::wstring& text, HFONT font, HDC dc, const RECT& area) {
    ScopedSelection selection(dc, font);
    LineMetrics line = MeasureLines(dc, area);
    size_t linesPerPage = std::max(1, static_cast<int>(area.bottom - area.top) / line.lineHeight);
    std::vector<PrintedPage> pages;
    auto addLine = [&](size_t start, size_t length) {
        if (pages.empty() || pages.back().size() == linesPerPage) pages.emplace_back();
        pages.back().push_back({start, length});
    };
    size_t position = 0;
    while (position < text.size()) {
        size_t end = position;
        while (end < text.size() && !IsLineBreak(text[end])) ++end;
        WrapParagraph(dc, text, position, end, line, addLine);
        position = end < text.size() ? SkipLineBreak(text, end) : end;
    }
    return pages;
}

// Tab stops are counted from the left edge of the text rectangle, as the
// control counts them from the left of the paragraph.
void DrawPlainTextPage(HDC dc, const std::wstring& text, const PrintedPage& page, HFONT font,
                       const RECT& area) {
    ScopedSelection selection(dc, font);
    LineMetrics line = MeasureLines(dc, area);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    int y = area.top;
    for (const PrintedLine& printed : page) {
        if (printed.length) {
            TabbedTextOutW(dc, area.left, y, text.data() + printed.start, static_cast<int>(printed.length), 1,
                           &line.tabWidth, area.left);
        }
        y += line.lineHeight;
    }
}

// The same exits as the control's page loop: a page that cannot be
// started or ended stops the printing after the pages already finished.
void PrintPlainTextPages(HDC dc, const std::wstring& text, HFONT font, const RECT& area) {
    for (const PrintedPage& page : PaginatePlainText(text, font, dc, area)) {
        if (StartPage(dc) <= 0) return;
        DrawPlainTextPage(dc, text, page, font, area);
        if (EndPage(dc) <= 0) return;
    }
}
