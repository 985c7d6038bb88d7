#pragma once

// Creates the coursebook's windows and data module in their start-up order, shows the welcome
// window and runs until the welcome window is closed. Returns the program's exit code.
int RunCoursebook();
