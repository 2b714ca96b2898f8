// The About box.
#include "help/help.h"

// Minimal: the About box comes with its template.
void AboutCommand() {}
