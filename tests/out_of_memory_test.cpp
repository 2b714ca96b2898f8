// Memory running out while a window procedure handles a message: the
// message is dropped, the program goes on, and nothing is left half-done.
#include "harness.h"

#include <richedit.h>

#include <cstdlib>
#include <new>

#include "app/app.h"
#include "document/document.h"
#include "print/print.h"

// Every allocation of this test program fails while FailAllocations is set.
static bool FailAllocations = false;
static int FailedAllocations = 0;

void* operator new(size_t size) {
    if (FailAllocations) {
        ++FailedAllocations;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }

namespace {

// Runs `action` with every allocation failing; returns how many did.
int WithoutMemory(const std::function<void()>& action) {
    FailedAllocations = 0;
    FailAllocations = true;
    action();
    FailAllocations = false;
    return FailedAllocations;
}

void PutTextOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(MainWindow));
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

}  // namespace

using OutOfMemory = AppFixture;

// Each row makes a procedure of the program allocate. The exception must
// end at the procedure's edge, leaving no paint pending for ever (the pump
// would not return), the clipboard closed, and the editor's counters right
// so that the line numbers follow the next edits.
TEST_F(OutOfMemory, AMessageThatRunsOutIsDroppedAndTheProgramGoesOn) {
    StartApp();
    static const std::wstring replacement(100, L'r');
    const struct {
        const char* name;
        std::function<void()> action;
        std::wstring text;  // the editor's text afterwards
    } cases[] = {
        {"the gutter's paint",
         [] {
             InvalidateRect(GutterWindow, nullptr, FALSE);
             UpdateWindow(GutterWindow);
         },
         L"one\r\ntwo"},
        {"the status bar's update", [] { SendMessageW(MainWindow, WM_UPDATESTATUSBAR, 0, 0); },
         L"one\r\ntwo"},
        {"a paste", [] { SendMessageW(EditControl, WM_PASTE, 0, 0); }, L"one\r\ntwo"},
        // The control inserts it; following it in the line index runs out.
        {"a replacement",
         [] {
             SendMessageW(EditControl, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replacement.c_str()));
         },
         L"one" + replacement + L"\r\ntwo"},
    };
    for (const auto& c : cases) {
        LoadText(L"one\rtwo");
        Select(3, 3);
        PutTextOnClipboard(std::wstring(100, L'p'));
        EXPECT_GT(WithoutMemory(c.action), 0) << c.name << ": nothing was allocated";
        EXPECT_EQ(EditorProcedureDepth, 0) << c.name;
        EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << c.name << ": the clipboard was left open";
        PumpMessages();
        EXPECT_EQ(EditorText(), c.text) << c.name;
        SetEditorText(L"a\rb\rc");
        const ParagraphIndex* index = EditorParagraphs(EditControl);
        ASSERT_TRUE(index);
        EXPECT_EQ(index->Count(), 3) << c.name << ": the line numbers no longer follow the edits";
    }
}

// The control's stream callback cannot throw through the control: the
// copy cut short arrives as the exception on this side of it.
TEST_F(OutOfMemory, APrintCopyCutShortIsAnException) {
    StartApp();
    LoadText(L"some text to print");
    bool thrown = false;
    WithoutMemory([&thrown] {
        try {
            ExportRichText(EditControl, false);
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
    });
    EXPECT_TRUE(thrown);
}
