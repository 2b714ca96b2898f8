// What the benchmarks share: the editor started in-process, a clock, and
// generated documents of a given size.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// Milliseconds from a high-resolution clock.
double NowMs();

// Presses the keys in order and releases them in reverse, like a chord,
// as the keyboard would send them to the foreground window's focus.
void PressKeys(std::initializer_list<WORD> keys);
// Types one character as the keyboard's Unicode input.
void TypeCharacter(wchar_t character);

// Runs the posted and sent messages of this thread until the queue is empty.
void PumpBenchMessages();
// Runs everything queued, paints and due 1 ms timers included, until the
// queue has stayed empty for a few milliseconds.
void PumpUntilIdle();

// Starts the editor as wWinMain does, without its message loop, and ends it.
void StartBenchEditor();
void StopBenchEditor();

// Puts text into the editor the fast way (redraw and notifications off),
// as a load would, and marks it unmodified.
void SetBenchEditorText(const std::wstring& text);

// Documents of about `bytes` bytes with CR LF line ends, the same for the
// same seed: ASCII lines of 40 to 80 characters; log-like lines of about
// 100 characters mixing digits, letters and punctuation; a few long lines.
std::string MakeAsciiLines(size_t bytes, unsigned seed = 1);
std::string MakeLogLines(size_t bytes, unsigned seed = 1);
std::string MakeLongLines(size_t bytes, int lineCount, unsigned seed = 1);
// ASCII lines with `matches` copies of ReplaceToken spread evenly over them.
extern const char ReplaceToken[];  // "7Q7": no other digit is ever generated
std::string MakeReplaceDocument(size_t bytes, int matches, unsigned seed = 1);
// ASCII lines with `matches` copies of "needle", "Needle" and "NEEDLE" in
// turn, spread evenly and never across a line end.
std::string MakeNeedleDocument(size_t bytes, int matches);

// Writes the bytes to a new file at `path`; false when that fails.
bool WriteBytesTo(const std::wstring& path, const std::string& bytes);

// A file beside the benchmark program, written with these bytes.
std::wstring WriteBenchFile(const std::wstring& name, const std::string& bytes);

// Median of a few measurements.
double Median(std::vector<double> values);
