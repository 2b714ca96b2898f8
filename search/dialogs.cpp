// The Find, Replace and Go To Line dialogs.
#include "search/search.h"

// Minimal: the dialogs come with their templates.
void FindCommand() {}
void ReplaceCommand() {}
void GoToCommand() {}
