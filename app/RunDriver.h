// The run driver: the program's entry behind main. Without a parameter file
// it shows the help text page by page; with one it reads and checks the whole
// file, opens the output, hands every matching input file to the record loop,
// prints a summary line per file and reports the first error. The only place
// that prints.
#pragma once

#include "platform/Platform.h"

// Runs the program for its command line; returns the exit status (0 or 1).
int RunMain(int argc, const char* const* argv, Platform& platform);

// From now on, running out of memory prints one line on standard error and
// ends the program with status 1 instead of aborting.
void InstallOutOfMemoryHandler(Platform& platform);
