// The normalisation of line breaks, and the paragraph index checked against
// the marks counted afresh from the whole text after every edit.
#include "harness.h"

#include <algorithm>
#include <random>
#include <sstream>

#include "document/document.h"
#include "document/paragraph_index.h"

namespace {

// The units of a text with the line-break characters and other controls spelt out.
std::string Shown(std::wstring_view text) {
    std::string out;
    char cell[8];
    for (wchar_t c : text) {
        if (c == L'\r') {
            out += "\\r";
        } else if (c == L'\n') {
            out += "\\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            wsprintfA(cell, "<%04X>", static_cast<unsigned>(c));
            out += cell;
        }
    }
    return out;
}

// What the index must answer, worked out from the whole text each time
// the slow, obvious way; empty when every answer agrees.
std::string Disagreement(const ParagraphIndex& index, const std::wstring& text) {
    std::ostringstream out;
    const LONG length = static_cast<LONG>(text.size());
    if (index.Length() != length) out << "Length " << index.Length() << " not " << length << "; ";
    std::vector<LONG> starts = {0};
    for (LONG at = 0; at < length; ++at)
        if (text[at] == L'\r') starts.push_back(at + 1);
    if (index.Count() != static_cast<int>(starts.size()))
        out << "Count " << index.Count() << " not " << starts.size() << "; ";
    for (int p = 0; p < static_cast<int>(starts.size()); ++p)
        if (index.ParagraphStart(p) != starts[p])
            out << "ParagraphStart(" << p << ") " << index.ParagraphStart(p) << " not " << starts[p] << "; ";
    int paragraph = 0;
    for (LONG at = 0; at <= length; ++at) {
        if (index.ParagraphOf(at) != paragraph)
            out << "ParagraphOf(" << at << ") " << index.ParagraphOf(at) << " not " << paragraph << "; ";
        bool mark = at < length && text[at] == L'\r';
        if (index.IsMark(at) != mark) out << "IsMark(" << at << ") " << index.IsMark(at) << "; ";
        if (mark) ++paragraph;
    }
    return out.str();
}

}  // namespace

TEST(LineBreaks, EachBreakBecomesOneCarriageReturn) {
    struct Row {
        std::wstring text, normalized;
        size_t breaks;
    } rows[] = {
        {L"", L"", 0},
        {L"a", L"a", 0},
        {L"a\r\nb", L"a\rb", 1},
        {L"a\nb", L"a\rb", 1},
        {L"a\rb", L"a\rb", 1},
        {L"a\r\r\nb", L"a\r\rb", 2},  // a blank line between, not a space
        {L"\r\n\r\n", L"\r\r", 2},
        {L"a\n\r", L"a\r\r", 2},
        {L"\n\n\r\r\n\r", L"\r\r\r\r\r", 5},
        {L"one\r\ntwo\nthree\rfour\r\n", L"one\rtwo\rthree\rfour\r", 4},
        {L"\r", L"\r", 1},
        {L"\n", L"\r", 1},
        {std::wstring(L"a\0\r\n\0b", 6), std::wstring(L"a\0\r\0b", 5), 1},
        {L"\v\f\u2028\u2029\u0085\t", L"\v\f\u2028\u2029\u0085\t", 0},
        {L"\xD83D\xDE00\r\n\xD800", L"\xD83D\xDE00\r\xD800", 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Shown(NormalizeLineBreaks(row.text)), Shown(row.normalized)) << "text: " << Shown(row.text);
        std::wstring inPlace = row.text;
        EXPECT_EQ(NormalizeLineBreaksInPlace(inPlace), row.breaks) << "text: " << Shown(row.text);
        EXPECT_EQ(Shown(inPlace), Shown(row.normalized)) << "in place, text: " << Shown(row.text);
    }
}

TEST(ParagraphIndex, EditsAgreeWithTheMarksCountedAfresh) {
    // Each row edits the text the row before left.
    struct Row {
        LONG at, removed;
        std::wstring inserted;
        bool accepted;
        std::wstring after;  // the text once edited
    } rows[] = {
        {0, 0, L"ab\rcd\r\ref", true, L"ab\rcd\r\ref"},
        {0, 0, L"xy", true, L"xyab\rcd\r\ref"},                // before everything: every mark moves
        {4, 0, L"q", true, L"xyabq\rcd\r\ref"},                // right at a mark: the mark moves
        {6, 0, L"z", true, L"xyabq\rzcd\r\ref"},               // right after a mark: it stays
        {13, 0, L"!", true, L"xyabq\rzcd\r\ref!"},             // at the end
        {3, 0, L"\r\r", true, L"xya\r\rbq\rzcd\r\ref!"},       // marks into the middle
        {2, 6, L"", true, L"xyzcd\r\ref!"},                    // a delete across three marks
        {0, 1, L"\r", true, L"\ryzcd\r\ref!"},                 // a replace at the start
        {4, 2, L"MID\r", true, L"\ryzcMID\r\ref!"},            // in the middle, a mark for a mark
        {11, 1, L"\r\r", true, L"\ryzcMID\r\ref\r\r"},         // at the end
        {7, 1, L"", true, L"\ryzcMID\ref\r\r"},                // a mark: two lines join
        {0, 12, L"", true, L""},                               // everything
        {0, 0, L"\r", true, L"\r"},                            // into the empty text
        {-1, 0, L"a", false, L"\r"},                           // not inside the text: nothing changes
        {1, 1, L"a", false, L"\r"},
        {0, 2, L"a", false, L"\r"},
        {2, 0, L"a", false, L"\r"},
        {0, 1, L"\n\r\n", true, L"\n\r\n"},                   // an LF is no mark of the control's
    };
    std::wstring text;
    ParagraphIndex index;
    index.Reset(text);
    for (const Row& row : rows) {
        std::wstring before = text;
        bool accepted = index.Replace(row.at, row.removed, row.inserted);
        if (accepted) text.replace(row.at, row.removed, row.inserted);
        std::string edit = "at " + std::to_string(row.at) + " removing " + std::to_string(row.removed) +
                           " inserting \"" + Shown(row.inserted) + "\" into \"" + Shown(before) + "\"";
        EXPECT_EQ(accepted, row.accepted) << edit;
        ASSERT_EQ(Shown(text), Shown(row.after)) << "the table's own text, " << edit;
        EXPECT_EQ(Disagreement(index, text), "") << edit;
    }
    index.Reset(L"\rab\r\rc\n\r");
    EXPECT_EQ(Disagreement(index, L"\rab\r\rc\n\r"), "") << "after Reset";
}

TEST(ParagraphIndex, RandomEditsAgreeWithTheMarksCountedAfresh) {
    std::mt19937 random(21);
    auto below = [&](LONG n) { return static_cast<LONG>(random() % static_cast<unsigned>(n)); };
    std::wstring text = L"ab\rc\r\rde";
    ParagraphIndex index;
    index.Reset(text);
    // An earlier state, and how many edits were made since.
    unsigned revision = index.Revision();
    std::wstring earlier = text;
    int editsSince = 0;
    bool longSince = false;
    for (int edit = 0; edit < 4000; ++edit) {
        const LONG length = static_cast<LONG>(text.size());
        LONG at = below(length + 1);
        LONG removed = below(std::min<LONG>(length - at, 6) + 1);
        // Now and then an insertion too long to be kept.
        std::wstring inserted(edit % 1000 == 500 ? 1025 : 0, L'a');
        longSince = longSince || !inserted.empty();
        for (LONG n = below(length > 60 ? 3 : 7); n > 0; --n) inserted += below(3) ? L'a' : L'\r';
        std::string shown = "edit " + std::to_string(edit) + ": at " + std::to_string(at) + " removing " +
                            std::to_string(removed) + " inserting \"" + Shown(inserted) + "\" into \"" +
                            Shown(text) + "\"";
        ASSERT_TRUE(index.Replace(at, removed, inserted)) << shown;
        text.replace(at, removed, inserted);
        ASSERT_EQ(Disagreement(index, text), "") << shown;
        // The kept edits, replayed on the earlier text, give the text now.
        ++editsSince;
        std::vector<ParagraphIndex::Edit> edits;
        if (index.EditsSince(revision, &edits)) {
            std::wstring replayed = earlier;
            for (const ParagraphIndex::Edit& e : edits) replayed.replace(e.at, e.removed, e.inserted);
            ASSERT_EQ(Shown(replayed), Shown(text)) << "replaying " << editsSince << " edits, " << shown;
        } else {
            ASSERT_TRUE(editsSince > 16 || longSince) << "the edits since are not kept, " << shown;
        }
        if (edit % 23 == 0) {
            revision = index.Revision();
            earlier = text;
            editsSince = 0;
            longSince = false;
        }
    }
    index.Reset(text);
    std::vector<ParagraphIndex::Edit> edits;
    EXPECT_FALSE(index.EditsSince(revision, &edits)) << "edits from before a Reset";
}
