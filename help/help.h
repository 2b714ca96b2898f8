// The Help menu: the update check and the About box.
#pragma once

// update_check.cpp: command 200.
void CheckUpdateCommand();

// about_box.cpp: command 201.
void AboutCommand();
