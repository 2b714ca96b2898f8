// Printing the document or its selection.
#include "print/print.h"

// Minimal: printing comes later.
void PrintCommand() {}
