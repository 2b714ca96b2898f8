// Document files: loading and encodings, saving, the document's identity,
// modified state and title, the unsaved-changes prompt, the document's
// editors (their creation, subclass, OLE callback and Undo across them).
// Every other folder may include this header.
#pragma once

#include <windows.h>
#include <string>
#include <string_view>
#include <vector>

#include "document/paragraph_index.h"

struct IRichEditOleCallback;

// Process-wide document state (GUI thread only).
extern std::wstring DocumentPath;  // full path; empty while the document has no file
extern std::wstring DocumentName;  // display name, "New Document" without a file
extern bool IsModified;
extern wchar_t DocumentEncoding[11];  // " UTF-8 ", " UTF-16LE " or " UTF-16BE "

constexpr LONGLONG FileSizeLimit = 10485760;  // "10MB" in the messages

// encoding.cpp: a file's encoding label, its bytes decoded to UTF-16, and
// the UTF-8 form (no byte-order mark) that every save writes.
extern const wchar_t EncodingUtf8[];     // " UTF-8 "
extern const wchar_t EncodingUtf16Le[];  // " UTF-16LE "
extern const wchar_t EncodingUtf16Be[];  // " UTF-16BE "
struct DecodedText {
    std::wstring text;      // U+0000 already replaced by U+FFFD
    bool decoded = true;    // false: neither UTF-8 nor the ANSI code page gave text
    bool usedAnsi = false;  // not well-formed UTF-8: read through the ANSI code page
    bool hadNulls = false;  // U+0000 characters were replaced
};
const wchar_t* EncodingLabelFor(const std::string& bytes);
DecodedText DecodeTextBytes(const std::string& bytes);
std::string EncodeUtf8(const std::wstring& text);
// Turns the leading ASCII units of `text` into bytes at the start of the
// same memory and returns how many there were. The units from that count
// on are left as they were; those before it are overwritten.
size_t NarrowAsciiInPlace(wchar_t* text, size_t count);

// line_breaks.cpp: each CR LF, lone CR and lone LF made one CR, the form
// in which the editor holds a line break; nothing else changes. The in-place
// form returns the number of line breaks.
std::wstring NormalizeLineBreaks(std::wstring_view text);
size_t NormalizeLineBreaksInPlace(std::wstring& text);

// editor_text.cpp: the editor's character count, where a line break counts
// one as it does in positions, and the text between two positions.
LONG CharacterCount(HWND edit);
std::wstring ReadText(HWND edit, LONG from, LONG to);

// plain_text_input.cpp: text put at the editor's selection, its line
// breaks normalised, as one undoable step; the clipboard's Unicode text.
void InsertText(HWND edit, std::wstring_view text);
void PasteClipboardText(HWND edit);

// loader.cpp
enum class LoadCaller { OpenCommand, DroppedFile, CommandLine };
// What the control will make of a text whose line breaks are normalised
// (each one a CR): how many paragraphs, the widest of them in columns (a
// tab taken to the next multiple of 8) and how many characters there are;
// WM_LAYOUTFORTEXT carries it to the view.
struct TextShape {
    int paragraphs = 1;
    size_t widestColumns = 0;
    size_t characters = 0;
};
// Above this many characters a text is large: the control is slow to
// delete it or to lay it out again.
constexpr int LargeTextLength = 32768;
// The checks every caller makes before LoadTextFile: the file's attributes
// can be read and it is at most FileSizeLimit bytes. Shows the caller's
// message and returns false when a check fails.
bool PassesPreloadChecks(HWND owner, const wchar_t* path, LoadCaller caller);
bool LoadTextFile(HWND owner, HWND edit, const wchar_t* path);
// Replaces the whole text with redraw, notifications and undo off; the
// replacement cannot be undone and leaves the undo history empty. A large
// text in EditControl is not deleted: a fresh editor takes its place
// (SwapInFreshEditor), so EditControl may be another window afterwards.
void ReplaceEditorText(HWND edit, const wchar_t* text);

// saver.cpp
enum class SaveResult { Saved, Cancelled, Failed };
// Cancelled: the text's UTF-8 form is larger than FileSizeLimit and the
// user chose not to write a file that could not be opened again.
SaveResult WriteTextFile(HWND edit, const wchar_t* path);
SaveResult SaveDocument();
SaveResult SaveDocumentAs(HWND owner, HWND edit);

// safe_write.cpp: writes the bytes to a temporary file beside the target
// and only then puts it in the target's place; on failure the target is
// left as it was and the temporary file is removed, or, when the folder
// does not let it go, named in UnremovedTemporaryFile (empty otherwise).
extern std::wstring UnremovedTemporaryFile;
bool WriteFileSafely(const wchar_t* path, const char* bytes, size_t size);
bool WriteFileSafely(const wchar_t* path, const std::string& bytes);

// long_paths.cpp: the full path, with the "\\?\" prefix when it is too
// long for the file functions without it; a path as messages show it; the
// executable's folder with its trailing backslash (empty when unknown).
std::wstring ExtendedLengthPath(const wchar_t* path);
std::wstring DisplayedPath(const std::wstring& path);
std::wstring ExecutableFolder();

// file_dialogs.cpp: the open and save dialogs; false when cancelled.
bool AskOpenPath(HWND owner, std::wstring& path);
bool AskSavePath(HWND owner, std::wstring& path);

// editor_control.cpp: the document's editors.
// A rich edit control in plain-text mode with multi-level undo: every
// editor of the document is made by this.
HWND CreatePlainTextEditor(DWORD style, RECT place, HWND parent, HMENU id);
// The document's rich edit control with all of its setup: style, id,
// subclass, OLE callback, drops, text limit, event mask, and the view's
// current font, colours, word wrap and zoom. Null when creation fails.
HWND CreateEditorControl(HWND window);
HWND CreateFirstEditor(HWND window);  // the same, in a new main window
void SetEditorTextColour(HWND edit, COLORREF colour);  // all of its text, and its default format
// Puts `edit` in EditControl's place: shown, laid out, notifying, taking
// drops, and focused if the old one had the focus. The old one is hidden,
// hears nothing and takes no drops; it is returned to the caller.
HWND PutEditorInPlace(HWND edit);
// Hides an editor that is no longer wanted; it is destroyed from a posted
// WM_DESTROYRETIREDEDITORS once no editor procedure is running.
void RetireEditor(HWND edit);
// A fresh, empty editor takes EditControl's place and the old one, with
// its large text, is retired (on every platform; see the definition).
void SwapInFreshEditor();
// WM_SETREDRAW TRUE, and the whole editor drawn again, its frame too: the
// scroll bars it showed, hid or moved while drawing was off.
void ResumeEditorDrawing(HWND edit);
void PostRetiredEditorsDestruction();  // when editors wait and none is posted
void DestroyRetiredEditors();          // WM_DESTROYRETIREDEDITORS of the main window

// editor_history.cpp: Undo and Redo across editors. A Replace All over
// many lines puts its result into a fresh editor (see ReplaceAll); the
// editor with the text before it is kept hidden, its Undo history intact.
// Undo with nothing left to undo in the shown editor brings the one before
// back; Redo with nothing of its own to redo takes the later one again.
// Typing in an editor brought back drops the later ones, as any edit
// drops what could be redone.
void ShowFreshEditorKeepingOld(HWND fresh);
LRESULT UndoInEditor(HWND edit);     // EM_UNDO, WM_UNDO and Ctrl+Z, from the subclass
LRESULT RedoInEditor(HWND edit);     // EM_REDO and Ctrl+Y
LRESULT CanUndoInEditor(HWND edit);  // EM_CANUNDO
LRESULT CanRedoInEditor(HWND edit);  // EM_CANREDO
void NoteEditorEdited();             // each EN_CHANGE
void MarkKeptEditorsModified();      // their text is no longer the saved one
void ForgetEditorHistory();          // the Undo history is emptied: kept editors go

// failed_message.cpp: what a window or dialog procedure answers, from the
// catch at its edge, for a message whose handling threw.
LRESULT AnswerFailedMessage(HWND window, UINT message);

// document_state.cpp: the document's identity, title and modified state.
void SetDocumentPath(const wchar_t* path);  // null or empty: no file
// "Tavilo - " + name (+ " *(unsaved)"), at most 255 characters.
std::wstring ComposeWindowTitle(const std::wstring& name, bool modified);
void UpdateWindowTitle();
void ClearModified();
void ScheduleModifiedSync();  // post WM_SYNCMODIFIED, once per burst of changes
void OnEditorChange();        // EN_CHANGE: drop what can no longer be redone, schedule the sync
void SyncModifiedState();     // WM_SYNCMODIFIED: follow the control's modify flag

// prompt.cpp: the unsaved-changes prompt and what follows every save.
bool PromptSaveChanges();  // true: go on; false: the user aborted
// After a save: clears the modified state and shows " UTF-8 " on success,
// reports a failure; true when the document was saved.
bool FinishSave(SaveResult result);

// lifecycle.cpp: the File commands and the exit routine. New and Open
// return true when another document is in the window, RequestExit when
// the program may end (the unsaved changes saved or given up).
extern bool ExitInProgress;
bool RequestExit();
// WM_QUERYENDSESSION: the unsaved-changes prompt; true when the session may end.
bool AnswerEndSessionQuery();
void EndSession(bool ending);  // WM_ENDSESSION
bool NewDocumentCommand();
bool OpenDocumentCommand();
void SaveDocumentCommand();
void SaveDocumentAsCommand();

// emergency_copy.cpp: unsaved text kept when the process dies or the
// session ends, as "recovered-YYYYMMDD-HHMMSS.txt" beside the executable.
void InstallCrashProtection();  // an unhandled exception writes the copy
bool WriteEmergencyCopy();      // only with unsaved changes; true when written
// The copies written since the last start, as full paths; each is
// returned once, to the first start that asks.
std::vector<std::wstring> TakeUnreportedEmergencyCopies();
// Says where the copy is; true when the user wants it opened.
bool AskToOpenEmergencyCopy(const std::wstring& path);

// edit_subclass.cpp
extern int EditorProcedureDepth;  // calls of EditSubclassProc on the stack, any editor
// The wheel's travel not yet acted on, carried from message to message.
struct WheelTravel {
    int units = 0;      // delta x steps per notch, less the steps taken
    bool zoom = false;  // gathered with Ctrl held
};
// Adds one WM_MOUSEWHEEL delta (120 a notch, positive away from the user)
// and returns the whole steps now due: lines to scroll, or zoom steps with
// one step per notch.
int AccumulateWheel(WheelTravel& travel, int delta, bool zoom, int stepsPerNotch);
LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR subclassId, DWORD_PTR referenceData);
void SubclassEditor(HWND edit);  // puts EditSubclassProc (id 1, data 0) over a new editor
// The rich edit control's own answer, below EditSubclassProc.
LRESULT CallEditorControl(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// edit_tracker.cpp: each editor's paragraph index, followed edit by edit.
void TrackEditor(HWND edit);            // a new editor gets an index (stale until first read)
void ForgetEditor(HWND edit);           // its WM_NCDESTROY
void NoteEditorTextChanged(HWND edit);  // its EN_CHANGE
// The index, rebuilt first from the text when stale; null for an editor
// that is not tracked.
const ParagraphIndex* EditorParagraphs(HWND edit);
// EM_UNDO or EM_REDO run by the control, below the subclass, and followed.
LRESULT RunTrackedUndo(HWND edit, UINT message);
// Runs the message through `run`, and follows what it did to the text.
LRESULT RunTracked(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT (*run)(HWND, UINT, WPARAM, LPARAM));

// ole_callback.cpp: a new MyCallback object with a reference count of 1.
IRichEditOleCallback* CreateOleCallback();
