// The program behind main: the command line, the help text and the run.
#pragma once

#include "platform/Platform.h"

// Runs the program for its command line; returns the exit status (0, 1
// after an error, 2 after a mistake on the command line).
int RunMain(int argc, const char* const* argv, Platform& platform);

// From now on, running out of memory prints one line on standard error and
// ends the program with status 1 instead of aborting.
void InstallOutOfMemoryHandler(Platform& platform);
