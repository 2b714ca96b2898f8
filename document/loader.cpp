// Loading a text file into the editor, and the checks made before it.
#include "document/document.h"

#include <richedit.h>

#include <new>

#include "app/app.h"
#include "document/file_handle.h"
#include "view/view.h"

wchar_t DocumentEncoding[11] = L" UTF-8 ";

struct TooLargeMessage {
    const wchar_t* text;
    const wchar_t* caption;
};

static TooLargeMessage TooLargeMessageFor(LoadCaller caller) {
    if (caller == LoadCaller::OpenCommand) {
        return {L"File is too large to open. Choose a file smaller than 10MB.", L"Error"};
    }
    return {L"File is too large to open. Choose a file smaller than 10MB", L"Warning"};
}

bool PassesPreloadChecks(HWND owner, const wchar_t* path, LoadCaller caller) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &info)) {
        MessageBoxW(owner, L"Failed to get file info.", L"Error", MB_ICONERROR);
        return false;
    }
    LONGLONG size =
        static_cast<LONGLONG>((static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    if (size > FileSizeLimit) {
        TooLargeMessage message = TooLargeMessageFor(caller);
        MessageBoxW(owner, message.text, message.caption, MB_ICONWARNING);
        return false;
    }
    return true;
}

// One ReadFile of the whole file. The size is checked again here: the file
// may have grown since the pre-load checks looked at it.
static bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > FileSizeLimit) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return false;
    bytes.resize(read);
    return true;
}

// How many paragraphs the control makes of a text: it ends one at CR LF,
// at a lone CR and at a lone LF, but none at CR CR LF.
static int CountParagraphs(const wchar_t* text) {
    int count = 1;
    for (const wchar_t* c = text; *c; ++c) {
        if (c[0] == L'\r' && c[1] == L'\r' && c[2] == L'\n') {
            c += 2;
        } else if (c[0] == L'\r' || c[0] == L'\n') {
            ++count;
            if (c[0] == L'\r' && c[1] == L'\n') ++c;
        }
    }
    return count;
}

// Wine's control lays its whole text out again whenever its width changes:
// seconds for a large document. The gutter takes the width the new text's
// line numbers need before the text goes in (the control holds at most a
// small old text: a large one has gone with its control), so the layout
// that follows a load finds nothing to change and the text is laid out once.
static void LayOutForText(HWND edit, const wchar_t* text) {
    if (edit != EditControl || !MainWindow || !text[0]) return;
    SetGutterWidthForLines(MainWindow, CountParagraphs(text));
    LayoutMainWindow(MainWindow);
}

// Below this many characters the control deletes its old text quickly.
constexpr int LargeTextLength = 32768;

void ReplaceEditorText(HWND edit, const wchar_t* text) {
    if (edit == EditControl && GetWindowTextLengthW(edit) > LargeTextLength) {
        SwapInFreshEditor();
        edit = EditControl;
    }
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, 0);
    // The limit of creation again: EM_LIMITTEXT 0 would mean the control's
    // 64K default and stop typing in any larger document.
    SendMessageW(edit, EM_EXLIMITTEXT, 0, EditorTextLimit);
    SendMessageW(edit, EM_SETUNDOLIMIT, 0, 0);
    LayOutForText(edit, text);
    // One WM_SETTEXT: EM_STREAMIN would double a CR LF that straddles two
    // of its 4 KB chunks under Wine.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    // Wine's EM_SETUNDOLIMIT keeps the old history; empty it explicitly.
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(edit, EM_SETUNDOLIMIT, 100, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, EditorEventMask);
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit, nullptr, TRUE);
    // No EN_CHANGE came, so the gutter must recount by itself.
    GutterDirty = true;
}

static void ShowEncodingWarning(HWND owner, const DecodedText& decoded) {
    std::wstring text;
    if (decoded.usedAnsi) {
        text =
            L"The file encoding is not UTF-8 or UTF-16.\n"
            L"The editor used an ANSI fallback. Some characters may be incorrect.";
    }
    if (decoded.hadNulls) {
        if (!text.empty()) text += L"\n\n";
        text +=
            L"The file contains null characters.\n"
            L"They are shown as replacement characters.";
    }
    if (!text.empty()) MessageBoxW(owner, text.c_str(), L"Encoding Warning", MB_ICONWARNING);
}

// A load cannot be undone, not even back to an editor kept by Replace All.
static void PutLoadedText(HWND edit, const wchar_t* text) {
    if (edit == EditControl) ForgetEditorHistory();
    ReplaceEditorText(edit, text);
}

static bool LoadBytes(HWND owner, HWND edit, const std::string& bytes) {
    // An empty file keeps the label and the status bar as they were.
    if (bytes.empty()) {
        PutLoadedText(edit, L"");
        return true;
    }
    lstrcpynW(DocumentEncoding, EncodingLabelFor(bytes), ARRAYSIZE(DocumentEncoding));
    UpdateStatusBar();
    DecodedText decoded = DecodeTextBytes(bytes);
    if (!decoded.decoded) {
        MessageBoxW(owner, L"Cannot open this file: unsupported encoding.", L"Error", MB_ICONERROR);
        return false;
    }
    PutLoadedText(edit, decoded.text.c_str());
    // The notifications were off, so the size part still counts the old text.
    UpdateStatusBar();
    ShowEncodingWarning(owner, decoded);
    return true;
}

bool LoadTextFile(HWND owner, HWND edit, const wchar_t* path) {
    // Running out of memory for a large file counts as a failed read.
    try {
        std::string bytes;
        if (!ReadWholeFile(path, bytes)) return false;
        return LoadBytes(owner, edit, bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
