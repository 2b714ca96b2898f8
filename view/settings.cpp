// The settings file, "settings.ini" beside the executable.
#include "view/view.h"

// Minimal: nothing is read or written yet; the built-in values apply.
std::wstring OpenSettingsFile() { return std::wstring(); }
void LoadSettings() {}
void SaveSettings() {}
