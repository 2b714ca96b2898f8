// Saving the editor's text as UTF-8.
#include "document/document.h"

#include "app/app.h"

// Minimal: nothing is written yet; the full saver replaces these.
bool WriteTextFile(HWND, const wchar_t*) { return false; }

SaveResult SaveDocument() { return SaveResult::Failed; }

SaveResult SaveDocumentAs(HWND, HWND) { return SaveResult::Cancelled; }
