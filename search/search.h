// Search and navigation: the engine that works on the edit control, and
// the Find, Replace and Go To Line dialogs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// engine.cpp
bool GetSearchSeed(HWND edit, wchar_t* buffer);  // buffer of at least 256 characters
void TrimSeed(wchar_t* text);                    // drops blanks and line ends at both ends
WPARAM FindFlags(bool matchCase, bool wholeWord, bool forward);
void FindNext(HWND dialog, const wchar_t* text);
void FindPrevious(HWND dialog, const wchar_t* text);
void ReplaceSelection(HWND dialog, const wchar_t* text, const wchar_t* replacement);
void GoToLine(int line);

// replace_all.cpp
// What Replace All does to a text as the control holds it (paragraphs end
// in a lone CR): the span [first, last) of the old text gives way to
// `middle`, after which the caret stands. No match: first == last == -1.
struct ReplaceAllPlan {
    LONG first = -1;
    LONG last = -1;
    std::wstring middle;
    size_t count = 0;
};
ReplaceAllPlan PlanReplaceAll(const std::wstring& text, const std::wstring& search,
                              const std::wstring& replacement);
std::wstring StoredLineBreaks(const std::wstring& text);  // line ends as the control stores them
// Where the pieces of [first, last) end, each holding at most maxBreaks CRs.
std::vector<LONG> SplitSpan(const std::wstring& text, LONG first, LONG last, int maxBreaks);
constexpr int MaxBreaksPerEdit = 2000;
void ReplaceAllInPieces(const wchar_t* text, const wchar_t* replacement, int maxBreaksPerEdit);
void ReplaceAll(const wchar_t* text, const wchar_t* replacement);  // in pieces of MaxBreaksPerEdit

// dialog_common.cpp: what the three dialogs share.
POINT ComputeDialogPosition(const RECT& editorOnScreen);
void PlaceBesideEditor(HWND dialog);
std::wstring ReadSearchBox(HWND dialog, int id);  // at most 255 characters

// find_dialog.cpp, replace_dialog.cpp, goto_dialog.cpp: commands 115, 116 and 117.
void FindCommand();
void ReplaceCommand();
int ParseLineNumber(const wchar_t* text);  // 1..2147483647, or 0 when the text is no line number
void GoToCommand();
