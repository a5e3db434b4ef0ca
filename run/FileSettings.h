// What INP and OUT/ADD name, beyond their text: the folder part of a path,
// wildcards, and one file named by two spellings.
#pragma once

#include <string_view>

#include "job/Job.h"
#include "platform/Platform.h"

// Everything before the last separator ("/" or a single-byte "\"), the
// separator included; empty when there is none.
std::string_view FolderOf(std::string_view path);

// True when the last component holds "*" or "?" ("?" in a folder name is a
// letter).
bool HasWildcards(std::string_view pattern);

// True when INP names one file (no wildcards) and OUT, in file mode, names
// that same existing file by another spelling ("./a.txt", ".\a.txt", a
// symbolic link, "sub/../a.txt"). Opening the output empties it, so a run
// refuses this before anything is opened, as when the two texts are equal.
bool NamesSameFile(const Job& job, Platform& platform);
