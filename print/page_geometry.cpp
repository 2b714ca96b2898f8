// The text rectangle of a printed page, in twips and in device pixels.
#include "print/print.h"

constexpr int TwipsPerInch = 1440;

// The printer's device context starts at the printable area, so the
// margins are measured from there, not from the paper's edge.
RECT ComputeTextRectangle(int horzRes, int vertRes, int logPixelsX, int logPixelsY) {
    int width = MulDiv(horzRes, TwipsPerInch, logPixelsX);
    int height = MulDiv(vertRes, TwipsPerInch, logPixelsY);
    return {PageMarginTwips, PageMarginTwips, width - PageMarginTwips, height - PageMarginTwips};
}

RECT TextRectangleOfPrinter(HDC printer) {
    return ComputeTextRectangle(GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES),
                                GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY));
}

RECT TwipsToDevicePixels(HDC dc, const RECT& twips) {
    int x = GetDeviceCaps(dc, LOGPIXELSX), y = GetDeviceCaps(dc, LOGPIXELSY);
    return {MulDiv(twips.left, x, TwipsPerInch), MulDiv(twips.top, y, TwipsPerInch),
            MulDiv(twips.right, x, TwipsPerInch), MulDiv(twips.bottom, y, TwipsPerInch)};
}
