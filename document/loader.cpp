// Loading a text file into the editor, and the checks made before it.
#include "document/document.h"

#include <richedit.h>

#include <algorithm>
#include <new>
#include <string>

#include "app/app_values.h"
#include "document/file_handle.h"

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
    if (!GetFileAttributesExW(ExtendedLengthPath(path).c_str(), GetFileExInfoStandard, &info)) {
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
    FileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > FileSizeLimit) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return false;
    bytes.resize(read);
    return true;
}

static TextShape MeasureTextShape(const wchar_t* text) {
    TextShape shape;
    size_t columns = 0;
    const wchar_t* c = text;
    for (; *c; ++c) {
        if (c[0] == L'\r') {
            ++shape.paragraphs;
            shape.widestColumns = std::max(shape.widestColumns, columns);
            columns = 0;
        } else {
            columns = c[0] == L'\t' ? (columns / 8 + 1) * 8 : columns + 1;
        }
    }
    shape.widestColumns = std::max(shape.widestColumns, columns);
    shape.characters = static_cast<size_t>(c - text);
    return shape;
}

// One WM_SETTEXT: EM_STREAMIN would double a CR LF that straddles two of
// its 4 KB chunks under Wine. But WM_SETTEXT reads RTF: Windows' control
// when the text's first characters spell "{\rtf" or "{\urtf", Wine's when
// its first bytes do, even as UTF-16 units (U+5C7B U+7472 U+3166). Either
// way such a text starts with a unit whose low byte is '{'; those leading
// units go in afterwards by EM_REPLACESEL, and alone they can spell
// neither (the signature's third byte is a letter).
static void PutTextIn(HWND edit, const wchar_t* text) {
    size_t leading = 0;
    while (text[leading] && (text[leading] & 0xFF) == L'{') ++leading;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text + leading));
    if (leading == 0) return;
    std::wstring start(text, leading);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(start.c_str()));
    SendMessageW(edit, EM_SETSEL, 0, 0);
}

// The window shows the fresh, empty editor for as long as its text takes
// to go in: the gutter and the status bar (brought up to date by the
// swap's layout) show it too, not the old text's numbers.
static void ShowTheEmptyEditor() {
    UpdateWindow(GutterWindow);
    UpdateWindow(StatusBar);
}

void ReplaceEditorText(HWND edit, const wchar_t* text) {
    if (edit == EditControl && GetWindowTextLengthW(edit) > LargeTextLength) {
        SwapInFreshEditor();
        if (edit != EditControl) ShowTheEmptyEditor();
        edit = EditControl;
    }
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, 0);
    // The limit of creation again: EM_LIMITTEXT 0 would mean the control's
    // 64K default and stop typing in any larger document.
    SendMessageW(edit, EM_EXLIMITTEXT, 0, EditorTextLimit);
    SendMessageW(edit, EM_SETUNDOLIMIT, 0, 0);
    // The view makes room for the text before it goes in (LayOutForText).
    if (edit == EditControl && MainWindow && text[0]) {
        TextShape shape = MeasureTextShape(text);
        SendMessageW(MainWindow, WM_LAYOUTFORTEXT, 0, reinterpret_cast<LPARAM>(&shape));
    }
    PutTextIn(edit, text);
    // Wine's EM_SETUNDOLIMIT keeps the old history; empty it explicitly.
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(edit, EM_SETUNDOLIMIT, 100, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, EditorEventMask);
    ResumeEditorDrawing(edit);
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
    // An empty file keeps the label; the rest of the status bar follows.
    if (bytes.empty()) {
        PutLoadedText(edit, L"");
        SendMessageW(MainWindow, WM_DOCUMENTSTATECHANGED, 0, 0);
        return true;
    }
    lstrcpynW(DocumentEncoding, EncodingLabelFor(bytes), ARRAYSIZE(DocumentEncoding));
    SendMessageW(MainWindow, WM_DOCUMENTSTATECHANGED, 0, 0);
    DecodedText decoded = DecodeTextBytes(bytes);
    if (!decoded.decoded) {
        MessageBoxW(owner, L"Cannot open this file: unsupported encoding.", L"Error", MB_ICONERROR);
        return false;
    }
    // The editor shows each CR LF, lone CR and lone LF as one line break,
    // and a save writes each as CR LF: the file's lines are kept.
    NormalizeLineBreaksInPlace(decoded.text);
    PutLoadedText(edit, decoded.text.c_str());
    // The notifications were off, so the size part still counts the old text.
    SendMessageW(MainWindow, WM_DOCUMENTSTATECHANGED, 0, 0);
    ShowEncodingWarning(owner, decoded);
    return true;
}

// A large file takes seconds to go into the control; the wait cursor
// shows that something is happening until the load returns.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// A file that cannot be read (held by another program without sharing,
// gone since the checks) is reported: the user chose it and must know
// that the text on screen is not its content.
bool LoadTextFile(HWND owner, HWND edit, const wchar_t* path) {
    WaitCursor waiting;
    // Running out of memory for a large file counts as a failed read.
    try {
        std::string bytes;
        if (ReadWholeFile(path, bytes)) return LoadBytes(owner, edit, bytes);
    } catch (const std::bad_alloc&) {
    }
    MessageBoxW(owner, L"Failed to open file.", L"Error", MB_ICONERROR);
    return false;
}
