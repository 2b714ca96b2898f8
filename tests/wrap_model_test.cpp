// The hidden model editor against the editor itself: where it says word
// wrap breaks a paragraph is where the editor breaks it, for the kinds of
// text and the views a user meets. Most predictions are confirmed with the
// editor, but the lines at the end of a loaded text are taken from the
// model alone, so a wrong one would number lines wrongly there.
#include "harness.h"

#include <richedit.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "resources/resource.h"
#include "view/display_lines.h"
#include "view/view.h"
#include "view/wrap_model.h"

namespace {

class WrapModel : public AppFixture {};

std::wstring Words(unsigned seed, int count) {
    std::wstring text;
    for (int w = 0; w < count; ++w) {
        seed = seed * 1103515245u + 12345u;
        if (w > 0) text += L' ';
        text.append(1 + (seed >> 16) % 12, static_cast<wchar_t>(L'a' + (seed >> 8) % 26));
    }
    return text;
}

std::wstring Repeat(const std::wstring& piece, int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// Paragraphs that wrap over several lines in ways that differ: at spaces,
// inside a word too long for a line, after runs of spaces and tabs, at
// punctuation, in a script without spaces, and ending in spaces. The last
// wraps, so that the model holds it when the view changes.
const std::vector<std::wstring>& Paragraphs() {
    static const std::vector<std::wstring> paragraphs = {
        L"short",
        L"",
        Words(1, 80),
        std::wstring(400, L'x'),
        Repeat(L"word     ", 60),
        Repeat(L"\tcolumn\tvalue", 40),
        Repeat(L"2026-12-08 07:47:26.123 [main] INFO a.b.C - request=/x/y?id=42; ", 8),
        Repeat(L"\x4E2D\x6587\x6587\x672C", 60),
        Words(2, 50) + std::wstring(30, L' '),
        std::wstring(400, L'y'),
    };
    return paragraphs;
}

void ShowParagraphs() {
    std::wstring text;
    for (const std::wstring& paragraph : Paragraphs()) text += paragraph + L"\r";
    SendMessageW(EditControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PumpMessages();
}

// Each paragraph's line starts as the editor gives them, and as the model
// predicts them, both counted from the paragraph's start.
void ExpectTheModelBreaksLikeTheEditor(const std::string& view) {
    LayoutPrint print = ReadLayoutPrint(EditControl);
    LONG start = 0;
    int predictedWraps = 0;
    for (const std::wstring& paragraph : Paragraphs()) {
        LONG end = start + static_cast<LONG>(paragraph.size());
        std::vector<LONG> editor;
        int line = static_cast<int>(SendMessageW(EditControl, EM_EXLINEFROMCHAR, 0, start));
        for (LONG at; (at = static_cast<LONG>(SendMessageW(EditControl, EM_LINEINDEX, line, 0))) >= 0 &&
                      at <= end && (at < end || editor.empty());
             ++line)
            editor.push_back(at - start);
        std::vector<LONG> model;
        ASSERT_TRUE(PredictLineStarts(EditControl, print, paragraph.c_str(),
                                      static_cast<LONG>(paragraph.size()), &model))
            << view;
        EXPECT_EQ(model, editor) << view << ": " << Narrow(paragraph.substr(0, 40));
        predictedWraps += static_cast<int>(model.size()) - 1;
        start = end + 1;
    }
    EXPECT_GT(predictedWraps, 10) << view << ": the paragraphs are meant to wrap";
}

TEST_F(WrapModel, BreaksParagraphsWhereTheEditorDoes) {
    StartApp();
    ToggleAutoWrap();
    ASSERT_TRUE(Autowrap);
    ShowParagraphs();
    InEveryView(ExpectTheModelBreaksLikeTheEditor);
}

}  // namespace
