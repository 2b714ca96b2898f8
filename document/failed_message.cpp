// The answer of a window or dialog procedure to a message whose handling
// threw; here, below every folder with a procedure, so that all may call it.
#include "document/document.h"

// No C++ exception may cross user32: Windows may end the process there,
// with the user's unsaved text, or carry on with user32 cut off midway.
// So every procedure of the program catches at its edge and answers this.
// In practice the exception is memory running out midway: the message is
// dropped and what was done stays (the handlers keep the document whole).
// A paint counts as done, or the window would be asked to paint again at
// once, for ever; a creation fails.
LRESULT AnswerFailedMessage(HWND window, UINT message) {
    if (message == WM_PAINT) ValidateRect(window, nullptr);
    return message == WM_CREATE ? -1 : 0;
}
