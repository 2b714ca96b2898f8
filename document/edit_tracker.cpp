// The edit tracker: each editor's paragraph index, brought up to date after
// every message that changes the editor's text, or marked stale when a
// change could not be followed and rebuilt from one read of the text when
// it is next needed.
#include "document/document.h"

#include <imm.h>
#include <richedit.h>

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "view/view_values.h"

namespace {

struct TrackedEditor {
    ParagraphIndex index;
    bool stale = true;
    int depth = 0;  // tracked messages of this editor on the stack
    CHARRANGE selection = {};
    LONG length = 0;
};

// A handful of editors at most: the shown one and those kept for Undo.
std::map<HWND, std::unique_ptr<TrackedEditor>> Tracked;

TrackedEditor* Find(HWND edit) {
    auto found = Tracked.find(edit);
    return found == Tracked.end() ? nullptr : found->second.get();
}

// Typing, a paste or a Replace All's replacement are read back; an
// insertion larger than this is left to the rebuild, which reads the
// whole text once instead of piece by piece.
constexpr LONG LargestInsertionRead = 1 << 20;

CHARRANGE ReadSelection(HWND edit) {
    CHARRANGE selection = {};
    CallEditorControl(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection;
}

// Nothing is trusted that the control can refute: the index must be as
// long as the text, and with word wrap off (a display line per paragraph)
// count as many paragraphs as the control has lines.
void CheckAgainstControl(HWND edit, TrackedEditor& tracked) {
    if (tracked.index.Length() != CharacterCount(edit)) {
        tracked.stale = true;
        return;
    }
    if (!Autowrap &&
        tracked.index.Count() != static_cast<int>(CallEditorControl(edit, EM_GETLINECOUNT, 0, 0)))
        tracked.stale = true;
}

// One range of the old text, starting at the old selection or at the new
// caret, was replaced by the text from there to the new caret: typing
// (with or without a selection, overtype too), Enter, Backspace and Delete
// with or without Ctrl, cut, clear and paste all change the text so.
void FollowEdit(HWND edit, TrackedEditor& tracked, wchar_t typed) {
    LONG length = CharacterCount(edit);
    LONG start = tracked.selection.cpMin;
    LONG caret = ReadSelection(edit).cpMin;
    LONG at = caret >= start ? start : caret;
    LONG inserted = caret >= start ? caret - start : 0;
    LONG removed = tracked.length - length + inserted;
    if (removed < 0 || at + removed > tracked.length || inserted > LargestInsertionRead) {
        tracked.stale = true;
        return;
    }
    if (removed == 0 && inserted == 0) return;
    // A typed character is known without reading it back, which under Wine
    // walks the paragraphs from the top; a control character (Enter, Tab)
    // is read as the control stored it.
    std::wstring text =
        inserted == 1 && typed >= 0x20 ? std::wstring(1, typed) : ReadText(edit, at, at + inserted);
    if (static_cast<LONG>(text.size()) != inserted || !tracked.index.Replace(at, removed, text)) {
        tracked.stale = true;
        return;
    }
    CheckAgainstControl(edit, tracked);
}

// The whole text was replaced by `text`, which the control holds with its
// line breaks made marks. A loaded text comes normalised already (no LF):
// 10 MB are not copied again for it.
void FollowNewText(HWND edit, TrackedEditor& tracked, const wchar_t* text) {
    std::wstring_view given = text ? text : L"";
    if (given.find(L'\n') == std::wstring_view::npos)
        tracked.index.Reset(given);
    else
        tracked.index.Reset(NormalizeLineBreaks(given));
    tracked.stale = false;
    CheckAgainstControl(edit, tracked);
}

// An Undo or a Redo changed the text by `change` characters, and the
// control does not say where. The change is taken to be one range ending at
// the selection: the text put back selected, or the caret after it or where
// text was taken out. (Wine only moves the caret with the text, so when it
// was far from the change the guess is wrong, and a step of several
// ranges, such as typing in two places, is wrong anyway.) The text about
// that place is read, whole paragraphs and a piece on each side, and must
// hold its marks where the index now says: had the change been elsewhere,
// the marks between would stand apart. A change of no length could be
// anywhere and is left to the rebuild.
bool FollowUndo(HWND edit, TrackedEditor& tracked, LONG change) {
    CHARRANGE selection = ReadSelection(edit);
    LONG inserted =
        selection.cpMax > selection.cpMin ? selection.cpMax - selection.cpMin : std::max(change, 0L);
    LONG at = selection.cpMax - inserted, removed = inserted - change;
    const ParagraphIndex& index = tracked.index;
    if (change == 0 || at < 0 || removed < 0 || at + removed > index.Length()) return false;
    constexpr LONG Margin = 256;
    LONG from = std::max(index.ParagraphStart(index.ParagraphOf(at)) - Margin, 0L);
    int last = index.ParagraphOf(at + removed);
    LONG to = std::min(last + 1 < index.Count() ? index.ParagraphStart(last + 1) + Margin : index.Length(),
                       index.Length()) +
              change;
    if (to - from > LargestInsertionRead) return false;
    std::wstring text = ReadText(edit, from, to);
    if (static_cast<LONG>(text.size()) != to - from ||
        !tracked.index.Replace(at, removed, std::wstring_view(text).substr(at - from, inserted)))
        return false;
    LONG marks = 0;
    for (LONG i = 0; i < to - from; ++i) {
        if (text[i] != L'\r') continue;
        if (!index.IsMark(from + i)) return false;
        ++marks;
    }
    return marks == index.ParagraphOf(to) - index.ParagraphOf(from);
}

enum class Change { None, Edit, Undo, WholeText, Unknown };

// What a message does to the text. Keys other than these move the caret
// or the view; Ctrl+Z and Ctrl+Y come through RunTrackedUndo.
Change ChangeOf(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_CUT:
    case WM_CLEAR:
    case WM_PASTE:
    case EM_REPLACESEL:
    case EM_PASTESPECIAL: return Change::Edit;
    case WM_IME_COMPOSITION: return (lParam & GCS_RESULTSTR) ? Change::Edit : Change::None;
    case WM_KEYDOWN:
        return wParam == VK_DELETE || wParam == VK_BACK || wParam == VK_RETURN || wParam == VK_INSERT
                   ? Change::Edit
                   : Change::None;
    case WM_SETTEXT: return Change::WholeText;
    case EM_SETTEXTEX: {
        const SETTEXTEX* how = reinterpret_cast<const SETTEXTEX*>(wParam);
        if (how && (how->flags & ST_SELECTION)) return Change::Edit;
        // Text in another form than UTF-16 is read back instead.
        return how && how->codepage == 1200 ? Change::WholeText : Change::Unknown;
    }
    case EM_STREAMIN: return Change::Unknown;
    default: return Change::None;
    }
}

}  // namespace

void TrackEditor(HWND edit) { Tracked[edit] = std::make_unique<TrackedEditor>(); }

void ForgetEditor(HWND edit) { Tracked.erase(edit); }

// The control reports a change it makes inside a tracked message, whose
// end follows it; any other change was not seen coming.
void NoteEditorTextChanged(HWND edit) {
    TrackedEditor* tracked = Find(edit);
    if (tracked && tracked->depth == 0) tracked->stale = true;
}

// One read of the whole text, marks as CR.
const ParagraphIndex* EditorParagraphs(HWND edit) {
    TrackedEditor* tracked = Find(edit);
    if (!tracked) return nullptr;
    if (!tracked->stale) return &tracked->index;
    LONG length = CharacterCount(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX how = {static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT read = CallEditorControl(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(read > 0 ? static_cast<size_t>(read) : 0);
    tracked->index.Reset(text);
    tracked->stale = false;
    return &tracked->index;
}

// Only the outermost tracked message of an editor updates its index: a
// paste that inserts through EM_REPLACESEL is one edit.
static LRESULT RunChange(HWND edit, Change change, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT (*run)(HWND, UINT, WPARAM, LPARAM)) {
    TrackedEditor* tracked = Find(edit);
    if (!tracked || tracked->depth > 0 || change == Change::None) return run(edit, message, wParam, lParam);
    bool staleBefore = tracked->stale;
    tracked->selection = ReadSelection(edit);
    tracked->length = CharacterCount(edit);
    ++tracked->depth;
    LRESULT result;
    try {
        result = run(edit, message, wParam, lParam);
    } catch (...) {
        // What the message did to the text is unknown: read it again.
        if ((tracked = Find(edit))) {
            --tracked->depth;
            tracked->stale = true;
        }
        throw;
    }
    // The editor may have been destroyed meanwhile.
    tracked = Find(edit);
    if (!tracked) return result;
    --tracked->depth;
    // The message did its work; an index that cannot follow it for want
    // of memory is read again when next needed.
    try {
        switch (change) {
        case Change::Edit:
            if (!staleBefore && !tracked->stale)
                FollowEdit(edit, *tracked, message == WM_CHAR ? static_cast<wchar_t>(wParam) : 0);
            break;
        case Change::Undo:
            if (staleBefore || tracked->stale ||
                !FollowUndo(edit, *tracked, CharacterCount(edit) - tracked->length))
                tracked->stale = true;
            else
                CheckAgainstControl(edit, *tracked);
            break;
        case Change::WholeText:
            FollowNewText(edit, *tracked, reinterpret_cast<const wchar_t*>(lParam));
            break;
        default: tracked->stale = true; break;
        }
    } catch (const std::bad_alloc&) {
        tracked->stale = true;
    }
    return result;
}

LRESULT RunTracked(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT (*run)(HWND, UINT, WPARAM, LPARAM)) {
    return RunChange(edit, ChangeOf(message, wParam, lParam), message, wParam, lParam, run);
}

LRESULT RunTrackedUndo(HWND edit, UINT message) {
    return RunChange(edit, Change::Undo, message, 0, 0, CallEditorControl);
}
