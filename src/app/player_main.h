#pragma once

// tavrelia --play: the show on QCoreApplication, without a display or widgets.
// Returns the process's exit code.
int runPlayer(int argc, char* argv[]);
