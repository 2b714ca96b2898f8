// Reading the editor's display lines with as few position queries as the
// layout allows.
//
// Under Wine every EM_LINEINDEX, EM_POSFROMCHAR, EM_LINELENGTH,
// EM_EXLINEFROMCHAR and EM_GETTEXTRANGE walks the paragraphs from the top
// of the document, so near the end of a large document each costs about
// as much as the control's own repaint. What is known is therefore kept:
// - the lines read last, reused while neither the text nor the layout
//   changed (scrolling only moves their tops, all by the same amount);
// - the starts of the lines below the first visible one are taken from
//   one read of the text: each ends at a paragraph mark or, with word wrap
//   on, where a hidden model of the editor wraps its paragraph; they are
//   checked against the control at the last of them (a line broken
//   elsewhere than said moves all the lines after it);
// - a line runs on into the next exactly when no paragraph mark ends it,
//   so the text tells which lines continue;
// - after an edit, the lines whose text reads as before keep their place;
// - below a line of plain ASCII the next line's top follows from the
//   plain line height;
// - with the caret at the end of the text, the last line's top is the
//   system caret's while the control shows it;
// - the text at the end of the document, once read or loaded, is not read
//   again while nothing but characters typed at the end changes it, nor
//   are the lines read there while the view is elsewhere.
#include "view/display_lines.h"

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <string>

#include "app/app.h"
#include "view/known_end.h"
#include "view/editor_lines.h"
#include "view/view.h"
#include "view/wrap_model.h"

LONG FreeTextReadLength = 16384;

namespace {

// Reading text costs time in proportion to its length, a position query
// in proportion to the paragraphs above the place asked about: in a
// document of a few long paragraphs the readers would read megabytes for a
// paragraph mark that a query finds at once. Past FreeTextReadLength the
// text window grows only as far as the paragraphs make reading the cheaper
// way (at 10 MB and 200,000 lines, without limit in practice); beyond that
// its text counts as unknown, and the readers ask the control.
constexpr LONG ReadLengthPerParagraph = 512;

// A stretch of the editor's text that grows as the readers look further,
// so that one read serves all the lines of the view.
class TextWindow {
public:
    TextWindow(HWND edit, LONG textLength) : edit_(edit), length_(textLength) {}

    // The character at `position`; 0 outside the text or past the bound.
    wchar_t At(LONG position) {
        if (position < 0 || position >= length_ || !Cover(position)) return 0;
        return text_[position - from_];
    }

    // The character at `position`, asked of the control when it is past the bound.
    wchar_t CharAt(LONG position) {
        wchar_t c = At(position);
        if (c != 0 || position < 0 || position >= length_) return c;
        std::wstring one = ReadText(edit_, position, position + 1);
        return one.empty() ? 0 : one[0];
    }

    // Where the paragraph holding `position` ends: its mark, or the end of
    // the text when no mark is left; -1 when the bound is reached first.
    LONG FindParagraphEnd(LONG position) {
        while (position < length_ && Cover(position)) {
            LONG end = End();
            for (LONG p = position; p < end; ++p) {
                if (text_[p - from_] == L'\r') return p;
            }
            position = end;
        }
        return position >= length_ ? length_ : -1;
    }

    // The text [from, to) when it has been read, else nullptr.
    const wchar_t* Span(LONG from, LONG to) const {
        if (from < from_ || to > End() || from > to) return nullptr;
        return text_.data() + (from - from_);
    }

    // The last paragraph mark before `position`; -1 when there is none, -2
    // when the bound is reached first.
    LONG FindParagraphMarkBefore(LONG position) {
        for (LONG p = position - 1; p >= 0; --p) {
            if (p < from_ || text_.empty()) {
                chunk_ *= 2;
                if (!Cover(std::max(0L, std::min(p, from_ - chunk_))) && !Cover(p)) return -2;
            }
            if (text_[p - from_] == L'\r') return p;
        }
        return -1;
    }

    // Reads [from, to) at once: the lines around one place cost one read.
    // False, reading nothing, when that is more than the bound.
    bool Load(LONG from, LONG to) {
        if (to - from > Limit(to - from)) return false;
        from_ = from;
        text_ = ReadText(edit_, from, to);
        return true;
    }

    // Takes the text from `from` to the end when it is known without
    // reading it; false when it is not.
    bool TakeKnownEnd(LONG from) {
        std::wstring tail;
        if (!TextOfTheEnd(edit_, from, length_, &tail)) return false;
        from_ = from;
        text_ = std::move(tail);
        return true;
    }

    bool HasText() const { return !text_.empty(); }
    HWND Edit() const { return edit_; }
    LONG From() const { return from_; }
    const std::wstring& Text() const { return text_; }

private:
    LONG End() const { return from_ + static_cast<LONG>(text_.size()); }

    // The paragraphs are counted (cheaply) only when the free length is not enough.
    LONG Limit(LONG wanted) {
        if (wanted <= FreeTextReadLength) return FreeTextReadLength;
        if (limit_ < 0) {
            long long paragraphs = std::max(0L, CountParagraphMarks(edit_, length_));
            limit_ = static_cast<LONG>(std::min<long long>(
                LONG_MAX, std::max<long long>(FreeTextReadLength, paragraphs * ReadLengthPerParagraph)));
        }
        return limit_;
    }

    bool Cover(LONG position) {
        if (text_.empty()) {
            from_ = position;
            text_ = ReadText(edit_, position, std::min(length_, position + chunk_));
        } else if (position < from_) {
            if (End() - position > Limit(End() - position)) return false;
            text_.insert(0, ReadText(edit_, position, from_));
            from_ = position;
        } else if (position >= End()) {
            chunk_ *= 2;
            LONG to = std::min(length_, std::max(position + 1, End() + chunk_));
            if (to - from_ > FreeTextReadLength) to = from_ + std::min(to - from_, Limit(to - from_));
            if (position >= to) return false;
            text_ += ReadText(edit_, End(), to);
        }
        return position >= from_ && position < End();
    }

    HWND edit_;
    LONG length_;
    LONG from_ = 0;
    LONG chunk_ = 4096;
    LONG limit_ = -1;
    std::wstring text_;
};

// The lines read last, with what they were read under and the text around
// them, kept to tell after an edit which of them the edit left alone.
struct Snapshot {
    bool valid = false;
    unsigned serial = 0;
    LayoutPrint print = {};
    int lineCount = 0;
    DisplayLineRange range;
    LONG textFrom = 0;
    std::wstring text;
    unsigned endWatch = 0;  // the watch over the end of the text when they were read
};

// Raised whenever the text may have changed; what was read before is not
// reused after that as it is.
unsigned TextSerial = 0;
Snapshot Last;
// The lines read last at the end of the text, kept while the view is
// elsewhere: back at the end (Ctrl+End) they serve again as long as
// nothing but characters typed at the end changed the text.
Snapshot EndLines;

bool ReachesTheEnd(const Snapshot& snapshot) {
    const DisplayLineRange& range = snapshot.range;
    return snapshot.valid && range.first + static_cast<int>(range.lines.size()) == snapshot.lineCount;
}

bool SameLayoutApartFromText(LayoutPrint a, const LayoutPrint& b) {
    a.textLength = b.textLength;
    return SameLayout(a, b);
}

bool SnapshotCurrent(const LayoutPrint& print, int lineCount) {
    return Last.valid && Last.serial == TextSerial && !GutterDirty && Last.lineCount == lineCount &&
           SameLayout(Last.print, print);
}

// Lines of the snapshot that stand for the editor's lines: those before
// `limit` keep their start, and their top up to a scroll shared by all; a
// line's continuation is known when the next line is. After an edit their
// starts are not `proven` until the control agrees at the last of them.
struct KnownLines {
    const DisplayLineRange* range = nullptr;
    int limit = 0;
    bool proven = true;

    const DisplayLine* Get(int line) const {
        if (!range || line >= limit) return nullptr;
        int index = line - range->first;
        return index >= 0 && index < static_cast<int>(range->lines.size()) ? &range->lines[index] : nullptr;
    }
};

// Where the text a line's layout depends on ends, for a line followed by
// one starting at `next`: its own text, and with wrapping the first word of
// the next line too (had it been shorter it might have joined this one).
LONG DependsUpTo(const Snapshot& old, LONG next, bool wrap) {
    if (!wrap) return next;
    for (LONG p = next; p >= old.textFrom && p - old.textFrom < static_cast<LONG>(old.text.size()); ++p) {
        wchar_t c = old.text[p - old.textFrom];
        if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\n') return p + 1;
    }
    return LONG_MAX;
}

// After an edit: the snapshot's lines from `first` on whose text reads as
// it did, taken to start where they started (the edit was below them; the
// check at the end of LineReader::Read proves it). A line's layout
// depends only on that text and on whether a paragraph mark precedes it.
KnownLines LinesTheEditLeftAlone(const Snapshot& old, const LayoutPrint& print, int first, TextWindow& text) {
    KnownLines known = {&old.range, INT_MAX, false};
    const DisplayLine* row = known.Get(first);
    if (!old.valid || !SameLayoutApartFromText(old.print, print) || !row) return {};
    LONG same = std::max(row->start - 1, 0L);
    LONG oldEnd = old.textFrom + static_cast<LONG>(old.text.size());
    while (same >= old.textFrom && same < oldEnd && text.At(same) == old.text[same - old.textFrom]) ++same;
    int line = first;
    for (const DisplayLine* next;
         (next = known.Get(line + 1)) && DependsUpTo(old, next->start, print.wrap) <= same;) {
        ++line;
    }
    known.limit = line + 1;
    return known;
}

// Where word wrap breaks the paragraph a line belongs to, as the model
// editor predicts it, from that line's start on.
class PredictedWraps {
public:
    // The start of the line after the one starting at `start` when the
    // paragraph, which ends at `end`, wraps there; 0 when that line runs to
    // the paragraph's end; -1 when it cannot be told.
    LONG After(HWND edit, const LayoutPrint& print, TextWindow& text, LONG start, LONG end) {
        auto at = std::find(starts_.begin(), starts_.end(), start);
        if (end != end_ || at == starts_.end() || (at + 1 == starts_.end() && !whole_)) {
            if (!Predict(edit, print, text, start, end)) return -1;
            at = starts_.begin();
        }
        return at + 1 == starts_.end() ? 0 : *(at + 1);
    }

private:
    // A paragraph longer than the model takes is predicted in parts; the
    // last line of a part may break otherwise in the whole, so it is left
    // to the next part.
    bool Predict(HWND edit, const LayoutPrint& print, TextWindow& text, LONG start, LONG end) {
        LONG length = std::min(end - start, WrapModelLength);
        const wchar_t* span = text.Span(start, start + length);
        end_ = -1;
        if (!span || !PredictLineStarts(edit, print, span, length, &starts_)) return false;
        whole_ = start + length == end;
        if (!whole_) starts_.pop_back();
        if (starts_.size() < (whole_ ? 1u : 2u)) return false;
        for (LONG& offset : starts_) offset += start;
        end_ = end;
        return true;
    }

    std::vector<LONG> starts_;
    LONG end_ = -1;
    bool whole_ = false;
};

// The start of `line`, which follows the line starting at `previous`:
// from the text, and with word wrap on from the model, when `chain`
// allows it; -1 when that cannot be told.
LONG NextLineStart(HWND edit, const LayoutPrint& print, int line, LONG previous, bool chain, TextWindow& text,
                   PredictedWraps& wraps) {
    if (!chain) return LineStart(edit, line);
    LONG end = text.FindParagraphEnd(previous);
    if (end < 0) return -1;
    if (print.wrap) {
        LONG wrap = wraps.After(edit, print, text, previous, end);
        if (wrap != 0) return wrap;
    }
    return end < print.textLength ? end + 1 : -1;
}

// How a read may take starts and tops without asking the control for each.
struct ReadPlan {
    bool chain;  // starts from the paragraph marks in the text
    bool infer;  // tops of lines below plain lines, from the plain line height
    KnownLines known;
};

// The height of a line of plain text. The editor holds plain text, so one
// character format covers the whole document; a line of printable ASCII,
// which every face the Font menu offers has, is drawn in that format's font
// alone, and all such lines are equally high.
struct PlainLineHeight {
    bool known = false;
    LONG height = 0;
    LayoutPrint print = {};
};
PlainLineHeight Plain;

// The plain line height when it was learnt under this layout, else -1.
LONG KnownPlainHeight(const LayoutPrint& print) {
    return Plain.known && SameLayoutApartFromText(Plain.print, print) ? Plain.height : -1;
}

// Whether a paragraph mark ends every line but the last. Without word wrap
// a line may still break elsewhere (Wine's soft line break, which reads as
// a space): then the control counts more lines than marks.
bool EveryLineEndsInAMark(HWND edit, const LayoutPrint& print, int lineCount) {
    return CountParagraphMarks(edit, print.textLength) == lineCount - 1;
}

bool IsPlainText(TextWindow& text, LONG from, LONG to) {
    for (LONG p = from; p < to; ++p) {
        wchar_t c = text.At(p);
        if (!((c >= 0x20 && c < 0x7F) || c == L'\t' || c == L'\r')) return false;
    }
    return true;
}

// One reading of the lines' starts and tops, as a plan allows. Read()
// returns false when a start or top not taken from the control proves
// wrong (the control broke a line where the text shows no paragraph mark,
// an edit moved the lines, a line was higher than plain text), so that the
// caller reads again asking the control for all.
class LineReader {
public:
    LineReader(HWND edit, const LayoutPrint& print, const ReadPlan& plan, TextWindow& text,
               DisplayLineRange& range)
        : edit_(edit),
          print_(print),
          plan_(plan),
          text_(text),
          range_(range),
          plainKnown_(KnownPlainHeight(print) >= 0) {}

    bool Read(int lineCount, int bottom) {
        for (int line = range_.first; line < lineCount; ++line) {
            const DisplayLine* old = plan_.known.Get(line);
            LONG start, top;
            if (!FindStart(line, old, &start)) return false;
            if (start < 0) break;
            if (!FindTop(line, old, start, &top)) return false;
            range_.lines.push_back({start, top, false});
            if (top >= bottom) break;
        }
        // The control's word on the last line taken on trust covers all before it.
        if (unproven_ >= 0 && LineStart(edit_, unproven_) != LineAt(unproven_).start) return false;
        return inferred_ < 0 || TopOf(edit_, LineAt(inferred_).start) == LineAt(inferred_).top;
    }

private:
    bool FindStart(int line, const DisplayLine* old, LONG* start) {
        if (line == range_.first) {
            *start = old ? old->start : LineStart(edit_, line);
        } else if (old) {
            // Text-made starts above a known one must lead exactly to it.
            if (unproven_ >= 0 && plan_.known.proven) {
                if (NextLineStart(edit_, print_, line, range_.lines.back().start, true, text_, wraps_) !=
                    old->start)
                    return false;
                unproven_ = -1;
            }
            *start = old->start;
        } else {
            // The text read starts a character early, for comparing after an edit.
            if (plan_.chain && !text_.HasText()) text_.At(range_.lines[0].start - 1);
            *start = NextLineStart(edit_, print_, line, range_.lines.back().start, plan_.chain, text_, wraps_);
            if (plan_.chain && *start < 0) return false;
        }
        if ((old && !plan_.known.proven) || (!old && plan_.chain && line != range_.first)) unproven_ = line;
        return true;
    }

    // Known lines move together with the first of them that is measured.
    bool FindTop(int line, const DisplayLine* old, LONG start, LONG* top) {
        const DisplayLine* above = line > range_.first ? &range_.lines.back() : nullptr;
        bool plainAbove = plan_.infer && above && !old && IsPlainText(text_, above->start, start);
        if (old && deltaKnown_) {
            *top = old->top + delta_;
        } else if (plainAbove && plainKnown_) {
            *top = above->top + Plain.height;
            inferred_ = line;
        } else {
            *top = TopOf(edit_, start);
            if (old) delta_ = *top - old->top, deltaKnown_ = true;
            if (plainAbove) {
                if (plainKnown_ && *top - above->top != Plain.height) return false;
                Plain = {true, *top - above->top, print_};
                plainKnown_ = true;
            }
        }
        return true;
    }

    const DisplayLine& LineAt(int line) const { return range_.lines[line - range_.first]; }

    HWND edit_;
    const LayoutPrint& print_;
    const ReadPlan& plan_;
    TextWindow& text_;
    DisplayLineRange& range_;
    PredictedWraps wraps_;
    bool plainKnown_;
    LONG delta_ = 0;
    bool deltaKnown_ = false;
    int unproven_ = -1;  // the last line whose start the control has not confirmed
    int inferred_ = -1;  // the last line whose top came from the plain line height
};

void ReadContinuations(HWND edit, const KnownLines& known, TextWindow& text, DisplayLineRange& range) {
    int first = range.first;
    if (first > 0 && !range.lines.empty()) {
        if (known.proven && known.range && known.range->first == first) {
            range.firstContinues = known.range->firstContinues;
        } else {
            LONG start = range.lines[0].start;
            range.firstContinues = LineRunsOn(edit, first - 1, -1, start, text.CharAt(start - 1));
        }
    }
    for (size_t i = 0; i + 1 < range.lines.size(); ++i) {
        int line = first + static_cast<int>(i);
        const DisplayLine* old = known.Get(line);
        DisplayLine& row = range.lines[i];
        LONG next = range.lines[i + 1].start;
        row.continues = old && known.Get(line + 1)
                            ? old->continues
                            : LineRunsOn(edit, line, row.start, next, text.CharAt(next - 1));
    }
}

// Reads the lines: `known` first, then the text and the control for the
// rest, and the control alone when the short ways fail.
DisplayLineRange ReadRange(HWND edit, const LayoutPrint& print, int first, int lineCount, int bottom,
                           const KnownLines& known, TextWindow& text) {
    DisplayLineRange range;
    range.first = first;
    if (first < 0 || first >= lineCount) return range;
    // Each way that proves wrong gives way to one that asks the control more;
    // the last asks it for every line.
    KnownLines proven = known.proven ? known : KnownLines();
    const ReadPlan plans[] = {{true, true, known}, {false, true, proven}, {false, false, proven}};
    bool plainBefore = Plain.known;
    const ReadPlan* plan = plans;
    for (; plan != std::end(plans); ++plan) {
        range.lines.clear();
        if (LineReader(edit, print, *plan, text, range).Read(lineCount, bottom)) break;
        // A plain height learnt from a start the text made up may be wrong.
        if (!plainBefore || !plan->chain) Plain.known = false;
    }
    if (print.wrap) ReadContinuations(edit, plan->known, text, range);
    return range;
}

bool CaretAtTheEnd(HWND edit, const LayoutPrint& print) {
    CHARRANGE selection = {};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMin == print.textLength && selection.cpMax == print.textLength;
}

// A guess from the scroll bar (whose values Wine scales down for a long
// document) that the view is within a page of the end; a wrong guess
// costs one query before the usual way is taken.
bool EndMayBeInView(HWND edit) {
    SCROLLINFO info = {sizeof(info), SIF_ALL};
    if (!GetScrollInfo(edit, SB_VERT, &info) || info.nMax <= info.nMin) return true;
    int page = std::max(static_cast<int>(info.nPage), 1);
    return info.nMax - (info.nPos + page) < page;
}

// The system caret's rectangle while the editor shows it; the control
// keeps it at the insertion point.
bool ShownCaret(HWND edit, RECT* caret) {
    GUITHREADINFO thread = {sizeof(thread)};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &thread) || thread.hwndCaret != edit ||
        !(thread.flags & GUI_CARETBLINKING))
        return false;
    *caret = thread.rcCaret;
    return true;
}

// The top of the last line, which holds the caret, when the text from
// `start` to the end has been read: the top of the system caret, which the
// control keeps at the insertion point while it shows it, so that no query
// walks the document. A caret of the plain line height on a line of plain
// text stands at the line's top; anything else is asked of the control (a
// taller character on the line sets the caret lower).
LONG LastLineTop(HWND edit, TextWindow& text, LONG start, LONG end, LONG height) {
    RECT caret;
    if (ShownCaret(edit, &caret) && caret.bottom - caret.top == height && text.Span(start, end) &&
        IsPlainText(text, start, end))
        return caret.top;
    return TopOf(edit, start);
}

// With word wrap off and a paragraph mark ending every line but the last,
// each line holds its paragraph's mark, drawn in the one format of plain
// text, so no line is lower than a plain line; and the caret at the end of
// the text stands on the last line, no higher than its top. So when the
// caret stands exactly one plain height per line below the first line,
// every line above the last is plain-high and the caret is at the last
// line's top: all the tops follow from the first line's, which is asked
// at no cost, and nothing is read. The first line's own top is not taken
// (a taller character on it may report it lower by as much as the line is
// taller), nor are the lines' starts, which with word wrap off number
// nothing: they are -1 but for the last line's.
bool ReadEvenLinesUpFromTheCaret(HWND edit, const LayoutPrint& print, int lineCount, int bottom,
                                 DisplayLineRange& range) {
    RECT caret;
    if (print.wrap || lineCount < 2 || !ShownCaret(edit, &caret) ||
        !EveryLineEndsInAMark(edit, print, lineCount))
        return false;
    long long height = Plain.height;
    long long firstTop = TopOf(edit, 0);
    if (height <= 0 || caret.top - firstTop != (lineCount - 1) * height || firstTop > print.format.top)
        return false;
    long long first = (print.format.top - firstTop) / height;  // the first whose bottom is below the edge
    if (first < 1) return false;
    range.first = static_cast<int>(first);
    range.firstContinues = false;
    range.lines.clear();
    for (long long line = first; line < lineCount; ++line) {
        LONG top = static_cast<LONG>(firstTop + line * height);
        range.lines.push_back({line == lineCount - 1 ? LineStart(edit, -1) : -1, top, false});
        if (top >= bottom) break;
    }
    return true;
}
DisplayLineRange EvenLines;

// The starts of the display lines of the paragraph [from, end): with word
// wrap on, where the model breaks it. False when that cannot be told.
bool ParagraphLineStarts(HWND edit, const LayoutPrint& print, TextWindow& text, PredictedWraps& wraps,
                         LONG from, LONG end, std::vector<LONG>* starts) {
    starts->assign(1, from);
    if (!print.wrap) return true;
    if (end - from > 4 * WrapModelLength) return false;
    for (LONG start = from;;) {
        LONG next = wraps.After(edit, print, text, start, end);
        if (next == 0) return true;
        if (next <= start) return false;
        starts->push_back(start = next);
    }
}

// Whether the lines the model predicts are surely the editor's: the text
// shows every line break (the model sees only the text), and the editor
// was never zoomed. Under Wine a text laid out in an editor that has been
// zoomed, even one loaded later or back at 100 %, does not always break
// where a model laid out afresh at the same zoom does.
bool ModelNeedsNoConfirmation(HWND edit, const LayoutPrint& print) {
    return ShowsEveryLineBreak(edit) && print.zoomNumerator == 0 && print.zoomDenominator == 0;
}

// With the caret at the end of the text, the caret's line is the last one
// and EM_LINEINDEX of -1 gives its start without a walk; the lines above
// it begin after the paragraph marks before it and, with word wrap on,
// where the model wraps their paragraphs; while they are plain each is one
// plain line height above the next. So one read of the text before the
// caret and the last line's top give all the visible lines. With word wrap
// off that is certain; with it on the control confirms the first visible
// line's start, unless the model's lines are surely the editor's. The
// first visible line is the first whose bottom is below the top of the
// formatting rectangle, as EM_GETFIRSTVISIBLELINE counts.
bool ReadUpFromTheLastLine(HWND edit, const LayoutPrint& print, int lineCount, int bottom, TextWindow& text,
                           DisplayLineRange& range) {
    if (!print.wrap && !EveryLineEndsInAMark(edit, print, lineCount)) return false;
    LONG height = Plain.height;
    LONG start = LineStart(edit, -1);
    LONG edge = print.format.top;
    int rows = (print.client.bottom - print.client.top) / std::max(height, 1L) + 2;
    LONG from = std::max(0L, start - 256L * rows - 4096);
    if (!text.TakeKnownEnd(from) && !text.Load(from, print.textLength)) return false;
    LONG top = LastLineTop(edit, text, start, print.textLength, height);
    if (top + height <= edge || (top - edge) / std::max(height, 1L) > 4 * rows) return false;

    PredictedWraps wraps;
    std::vector<LONG> starts;
    std::vector<DisplayLine> upwards;
    int line = lineCount;
    for (LONG end = print.textLength; line > 0 && (upwards.empty() || upwards.back().top > edge);) {
        LONG mark = text.FindParagraphMarkBefore(end);
        // Each line's own text decides its height: all but the last line must be plain.
        if (mark == -2 || !IsPlainText(text, mark + 1, std::min(end, start)) ||
            !ParagraphLineStarts(edit, print, text, wraps, mark + 1, end, &starts))
            return false;
        if (upwards.empty() && starts.back() != start) return false;  // the caret's line is broken otherwise
        for (auto row = starts.rbegin(); row != starts.rend() && line > 0; ++row, --line) {
            bool continues = row != starts.rbegin();
            upwards.push_back({*row, upwards.empty() ? top : upwards.back().top - height, continues});
        }
        if ((mark < 0) != (line == 0)) return false;  // as many lines as the control counts
        end = mark;
    }
    while (upwards.size() > 1 && upwards[upwards.size() - 2].top <= edge) upwards.pop_back();
    range.first = lineCount - static_cast<int>(upwards.size());
    if (print.wrap && !ModelNeedsNoConfirmation(edit, print) &&
        LineStart(edit, range.first) != upwards.back().start)
        return false;
    range.firstContinues = range.first > 0 && starts.size() > 1 && upwards.back().start != starts.front();
    for (auto row = upwards.rbegin(); row != upwards.rend(); ++row) {
        range.lines.push_back(*row);
        if (row->top >= bottom) break;
    }
    range.lines.back().continues = false;  // the next line is not in the range
    return true;
}

// After characters typed at the end of the text, with the caret still
// there: the lines read at the end (`snapshot`) keep their layout when
// their text reads as before, and the last line, which the caret gives
// without a walk, still begins where it began; the lines between are then
// as many as before, so each keeps its place counted up from the last
// line, and all move by as much as the last line's top. Only while the
// watch over the end has seen nothing else: a soft line break put in place
// of a space reads as the space did but breaks the line. The first visible
// line is the first whose bottom is below the top of the formatting
// rectangle.
bool ReadDownToTheCaret(HWND edit, const LayoutPrint& print, int lineCount, int bottom,
                        const Snapshot& snapshot, TextWindow& text, DisplayLineRange& range) {
    const DisplayLineRange& old = snapshot.range;
    int oldLast = old.first + static_cast<int>(old.lines.size()) - 1;
    if (!ReachesTheEnd(snapshot) || old.lines.size() < 2 || !SameLayoutApartFromText(snapshot.print, print) ||
        snapshot.endWatch == 0 || EndWatchSerial(edit) != snapshot.endWatch ||
        LineStart(edit, -1) != old.lines.back().start || !text.TakeKnownEnd(snapshot.textFrom))
        return false;
    KnownLines known = LinesTheEditLeftAlone(snapshot, print, old.first, text);
    if (known.limit < oldLast) return false;
    LONG height = KnownPlainHeight(print);
    LONG delta =
        LastLineTop(edit, text, old.lines.back().start, print.textLength, height) - old.lines.back().top;
    LONG edge = print.format.top;
    if (old.lines[0].top + delta > edge) return false;  // a line above them shows
    size_t first = 0;
    while (first + 1 < old.lines.size() && old.lines[first + 1].top + delta <= edge) ++first;
    range.first = old.first + static_cast<int>(first) + lineCount - snapshot.lineCount;
    range.firstContinues = first > 0 ? old.lines[first - 1].continues : old.firstContinues;
    for (size_t i = first; i < old.lines.size(); ++i) {
        range.lines.push_back({old.lines[i].start, old.lines[i].top + delta, old.lines[i].continues});
        if (range.lines.back().top >= bottom) break;
    }
    range.lines.back().continues = false;  // the next line is not in the range
    return true;
}

}  // namespace

LayoutPrint ReadLayoutPrint(HWND edit) {
    LayoutPrint print = {};
    GetClientRect(edit, &print.client);
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&print.format));
    SendMessageW(edit, EM_GETZOOM, reinterpret_cast<WPARAM>(&print.zoomNumerator),
                 reinterpret_cast<LPARAM>(&print.zoomDenominator));
    CHARFORMAT2W font = {};
    font.cbSize = sizeof(font);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&font));
    print.fontHeight = font.yHeight;
    print.fontWeight = font.wWeight;
    print.fontEffects = font.dwEffects;
    lstrcpynW(print.fontFace, font.szFaceName, LF_FACESIZE);
    print.wrap = Autowrap;
    print.textLength = CharacterCount(edit);
    print.dpi = GetDpiForWindow(edit);
    return print;
}

bool SameLayout(const LayoutPrint& a, const LayoutPrint& b) {
    return EqualRect(&a.client, &b.client) && EqualRect(&a.format, &b.format) &&
           a.zoomNumerator == b.zoomNumerator && a.zoomDenominator == b.zoomDenominator &&
           a.fontHeight == b.fontHeight && a.fontWeight == b.fontWeight && a.fontEffects == b.fontEffects &&
           wcscmp(a.fontFace, b.fontFace) == 0 && a.wrap == b.wrap && a.textLength == b.textLength &&
           a.dpi == b.dpi;
}

void ForgetDisplayLines() { ++TextSerial; }

unsigned TextGeneration() { return TextSerial; }

// Keeps the lines read, and the text read around them to compare after
// the next edit; when nothing was read the text kept from before is still
// the document's if the lines were `current`.
const DisplayLineRange& Remember(DisplayLineRange range, TextWindow& text, const LayoutPrint& print,
                                 int lineCount, bool current) {
    if (ReachesTheEnd(Last) && range.first + static_cast<int>(range.lines.size()) < lineCount)
        EndLines = Last;
    if (!range.lines.empty() && text.HasText()) {
        text.At(range.lines.back().start + 64);
        Last.textFrom = text.From();
        Last.text = text.Text();
    } else if (!current) {
        Last.text.clear();
    }
    Last.valid = true;
    Last.serial = TextSerial;
    Last.print = print;
    Last.lineCount = lineCount;
    Last.range = std::move(range);
    if (text.HasText() && text.From() + static_cast<LONG>(text.Text().size()) == print.textLength)
        KnowTheEnd(text.Edit(), text.From(), text.Text(), false);
    Last.endWatch = EndWatchSerial(text.Edit());
    return Last.range;
}

const DisplayLineRange& ReadDisplayLines(HWND edit, const LayoutPrint& print, int first, int lineCount,
                                         int bottom) {
    TextWindow text(edit, print.textLength);
    bool current = SnapshotCurrent(print, lineCount);
    KnownLines known =
        current ? KnownLines{&Last.range, INT_MAX, true} : LinesTheEditLeftAlone(Last, print, first, text);
    return Remember(ReadRange(edit, print, first, lineCount, bottom, known, text), text, print, lineCount,
                    current);
}

const DisplayLineRange* ReadLinesAtTheEnd(HWND edit, const LayoutPrint& print, int lineCount, int bottom) {
    if (!CaretAtTheEnd(edit, print) || !EndMayBeInView(edit)) return nullptr;
    bool plainKnown = KnownPlainHeight(print) >= 0;
    // Lines without their starts are not kept for the readers that follow.
    if (plainKnown && ReadEvenLinesUpFromTheCaret(edit, print, lineCount, bottom, EvenLines))
        return &EvenLines;
    TextWindow text(edit, print.textLength);
    DisplayLineRange range;
    bool read = (print.wrap && (ReadDownToTheCaret(edit, print, lineCount, bottom, Last, text, range) ||
                                ReadDownToTheCaret(edit, print, lineCount, bottom, EndLines, text, range))) ||
                (plainKnown && ReadUpFromTheLastLine(edit, print, lineCount, bottom, text, range));
    if (!read) return nullptr;
    return &Remember(std::move(range), text, print, lineCount, false);
}

bool TextReadToTheEnd(const LayoutPrint& print, LONG from, std::wstring* text) {
    LONG end = Last.textFrom + static_cast<LONG>(Last.text.size());
    if (!Last.valid || Last.serial != TextSerial || !SameLayout(Last.print, print) || from < Last.textFrom ||
        end != print.textLength)
        return false;
    text->assign(Last.text, static_cast<size_t>(from - Last.textFrom), std::wstring::npos);
    return true;
}

// EM_LINEINDEX of -1, the caret's line, is answered without a walk. A
// caret at the end of the text is on the last line (a line wrapped there
// would hold no character); with word wrap off no other place is on two
// lines at once, while with it on the caret at a wrap may show on either.
LineOfPosition FindLineOfPosition(HWND edit, const LayoutPrint& print, LONG position, int lineCount,
                                  bool caret) {
    if (caret && position == print.textLength) return {lineCount - 1, LineStart(edit, -1)};
    if (SnapshotCurrent(print, lineCount) && !Last.range.lines.empty()) {
        const std::vector<DisplayLine>& lines = Last.range.lines;
        int lastLine = Last.range.first + static_cast<int>(lines.size()) - 1;
        // The last line read ends where the next begins, which is known only
        // when it is the document's last line.
        LONG end = lastLine == lineCount - 1 ? print.textLength + 1 : lines.back().start;
        if (position >= lines.front().start && position < end) {
            auto after = std::upper_bound(lines.begin(), lines.end(), position,
                                          [](LONG p, const DisplayLine& line) { return p < line.start; });
            int index = static_cast<int>(after - lines.begin()) - 1;
            return {Last.range.first + index, lines[index].start};
        }
    }
    int line = LineOf(edit, position);
    return {line, caret && !print.wrap ? LineStart(edit, -1) : LineStart(edit, line)};
}
