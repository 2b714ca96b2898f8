// Command 105: the print dialog, then the copy of the document or of its
// selection printed on the printer the user picked.
#include "print/print.h"

#include <commdlg.h>
#include <richedit.h>

#include "app/app_values.h"
#include "document/document.h"
#include "print/scoped_gdi.h"

// The dialog's device settings are not kept from one print to the next,
// so the memory it hands back is freed at once, whatever its answer.
static HDC AskForPrinter(bool hasSelection) {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = MainWindow;
    // Only the selection prints when there is one: the dialog opens saying so.
    dialog.Flags = PD_RETURNDC | (hasSelection ? PD_SELECTION : PD_NOSELECTION);
    BOOL chosen = PrintDlgW(&dialog);
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    return chosen ? dialog.hDC : nullptr;
}

// Only the selection prints when there is one, whatever range the user
// picked in the dialog; the editor's view and selection stay as they were.
void PrintCommand() {
    CHARRANGE selection = {};
    SendMessageW(EditControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    bool hasSelection = selection.cpMin != selection.cpMax;
    ScopedDeviceContext printer(AskForPrinter(hasSelection));
    if (!printer.get()) return;

    if (hasSelection) SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    TransferBuffer copy = ExportRichText(EditControl, hasSelection);
    SendMessageW(EditControl, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));

    ImportRichText(HiddenEditControl, copy);
    ForceBlackOnWhite(HiddenEditControl);
    PrintRichEditCopy(printer.get(), HiddenEditControl, JobNameFromDocumentName(DocumentName));
}
