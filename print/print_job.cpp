// One print job on a printer's device context: the pages of the hidden
// copy, laid out by the rich edit control where it can and by the program
// where it cannot.
#include "print/print.h"

#include <richedit.h>

#include "document/document.h"
#include "print/scoped_gdi.h"
#include "view/view.h"

// A name whose only "." is its first character (".profile") keeps it:
// cutting there would leave the job without a name.
std::wstring JobNameFromDocumentName(const std::wstring& documentName) {
    std::wstring name = documentName.substr(0, MAX_PATH - 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name;
}

// FontSize counts pixels at 96 DPI.
HFONT CreatePrinterFont(HDC printer) {
    int height = -MulDiv(FontSize, GetDeviceCaps(printer, LOGPIXELSY), 96);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, FontTable[FontIndex]);
}

static std::wstring TextOfControl(HWND control) {
    int length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(SendMessageW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    return text;
}

static void PrintCopyAsPlainText(HDC printer, HWND copy, const RECT& areaTwips) {
    ScopedGdiObject font(CreatePrinterFont(printer));
    PrintPlainTextPages(printer, TextOfControl(copy), static_cast<HFONT>(font.get()),
                        TwipsToDevicePixels(printer, areaTwips));
}

// Each page is measured (wParam 0) and then drawn (wParam 1) over the same
// range; the measured end is where the next page starts.
void PrintCopyPages(HDC printer, HWND copy) {
    RECT area = TextRectangleOfPrinter(printer);
    FORMATRANGE range = {printer, printer, area, area, {0, 0}};
    // In positions a line break counts once; WM_GETTEXTLENGTH counts it as
    // CR LF, so a range to it would end past the text.
    LONG length = CharacterCount(copy);
    for (LONG start = 0; start < length;) {
        range.chrg = {start, length};
        LONG next =
            static_cast<LONG>(SendMessageW(copy, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&range)));
        if (next <= start) {
            // Wine's EM_FORMATRANGE is a stub that returns 0: without this
            // the job would end without a page as if all had gone well.
            if (start == 0) PrintCopyAsPlainText(printer, copy, area);
            return;
        }
        if (StartPage(printer) <= 0) return;
        SendMessageW(copy, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        if (EndPage(printer) <= 0) return;
        start = next;
    }
}

// Failures are silent: nothing the user could act on. A job whose pages
// stopped early is still closed, so the printer gets what was finished.
void PrintRichEditCopy(HDC printer, HWND copy, const std::wstring& jobName) {
    DOCINFOW document = {};
    document.cbSize = sizeof(document);
    document.lpszDocName = jobName.c_str();
    if (StartDocW(printer, &document) <= 0) return;
    PrintCopyPages(printer, copy);
    SendMessageW(copy, EM_FORMATRANGE, FALSE, 0);  // lets the control drop its cached layout
    EndDoc(printer);
}
