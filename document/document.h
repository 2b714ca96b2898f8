// Document files: loading and encodings, saving, the document's identity,
// modified state and title, the unsaved-changes prompt, the edit control's
// subclass and its OLE callback.
#pragma once

#include <windows.h>
#include <string>

struct IRichEditOleCallback;

// Process-wide document state (GUI thread only).
extern std::wstring DocumentPath;  // full path; empty while the document has no file
extern std::wstring DocumentName;  // display name, "New Document" without a file
extern bool IsModified;
extern wchar_t DocumentEncoding[11];  // " UTF-8 ", " UTF-16LE " or " UTF-16BE "

constexpr LONGLONG FileSizeLimit = 10485760;  // "10MB" in the messages

// loader.cpp
enum class LoadCaller { OpenCommand, DroppedFile, CommandLine };
// The checks every caller makes before LoadTextFile: the file's attributes
// can be read and it is at most FileSizeLimit bytes. Shows the caller's
// message and returns false when a check fails.
bool PassesPreloadChecks(HWND owner, const wchar_t* path, LoadCaller caller);
bool LoadTextFile(HWND owner, HWND edit, const wchar_t* path);

// saver.cpp
enum class SaveResult { Saved, Cancelled, Failed };
bool WriteTextFile(HWND edit, const wchar_t* path);
SaveResult SaveDocument();
SaveResult SaveDocumentAs(HWND owner, HWND edit);

// lifecycle.cpp
void SetDocumentPath(const wchar_t* path);  // null or empty: no file
void UpdateWindowTitle();
void ClearModified();
bool PromptSaveChanges();  // true: go on; false: the user aborted
void RequestExit();
void NewDocumentCommand();
void OpenDocumentCommand();
void SaveDocumentCommand();
void SaveDocumentAsCommand();
void OnEditorChange();       // EN_CHANGE: arm the modified-state timer
void OnModifiedSyncTimer();  // its WM_TIMER: follow the control's modify flag

// edit_subclass.cpp
LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR subclassId, DWORD_PTR referenceData);

// ole_callback.cpp: a new MyCallback object with a reference count of 1.
IRichEditOleCallback* CreateOleCallback();
