// Printing the document, or its selection, through the hidden rich edit control.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// print.cpp: command 105, the print dialog around the job.
void PrintCommand();

// rich_text_copy.cpp: the RTF copy of the editor that the printer gets.
// The transfer buffer is read from the front without moving the rest.
struct TransferBuffer {
    std::string bytes;
    size_t consumed = 0;
};
DWORD CALLBACK StreamOutToString(DWORD_PTR buffer, LPBYTE bytes, LONG count, LONG* done);
DWORD CALLBACK StreamInFromString(DWORD_PTR buffer, LPBYTE bytes, LONG count, LONG* done);
TransferBuffer ExportRichText(HWND edit, bool selectionOnly);  // std::bad_alloc when cut short
void ImportRichText(HWND edit, TransferBuffer& rtf);           // replaces the whole content
void ForceBlackOnWhite(HWND edit);

// page_geometry.cpp: the text rectangle, half an inch inside the printable area.
constexpr int PageMarginTwips = 720;
RECT ComputeTextRectangle(int horzRes, int vertRes, int logPixelsX, int logPixelsY);  // twips
RECT TextRectangleOfPrinter(HDC printer);                                             // twips
RECT TwipsToDevicePixels(HDC dc, const RECT& twips);

// print_job.cpp: one job on a printer's device context.
std::wstring JobNameFromDocumentName(const std::wstring& documentName);
void PrintRichEditCopy(HDC printer, HWND copy, const std::wstring& jobName);
void PrintCopyPages(HDC printer, HWND copy);  // the pages alone, inside a started job
HFONT CreatePrinterFont(HDC printer);         // the editor's face and size at the printer's DPI

// plain_text_pages.cpp: pages laid out and drawn by the program itself, for
// a rich edit control that lays out none (Wine's). Areas are in device pixels.
struct PrintedLine {
    size_t start, length;  // a span of the text, without its line break
};
using PrintedPage = std::vector<PrintedLine>;
std::vector<PrintedPage> PaginatePlainText(const std::wstring& text, HFONT font, HDC dc, const RECT& area);
void DrawPlainTextPage(HDC dc, const std::wstring& text, const PrintedPage& page, HFONT font,
                       const RECT& area);
void PrintPlainTextPages(HDC dc, const std::wstring& text, HFONT font, const RECT& area);
