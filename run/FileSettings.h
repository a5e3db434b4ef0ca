// What INP and OUT/ADD name, beyond their text: the folder part of a path,
// wildcards, and one file named by two spellings.
#pragma once

#include <string>
#include <string_view>

#include "job/Job.h"
#include "job/JobReader.h"
#include "platform/Platform.h"

// Everything before the last separator ("/" or a single-byte "\"), the
// separator included; empty when there is none.
std::string_view FolderOf(std::string_view path);

// True when INP names one file (no wildcards) and OUT, in file mode, names
// that same existing file by another spelling ("./a.txt", ".\a.txt", a
// symbolic link, "sub/../a.txt"). Opening the output empties it, so a run
// refuses this before anything is opened, as when the two texts are equal.
bool NamesSameFile(const Job& job, Platform& platform);

// The command line's -i and -o, in place of INP and OUT/ADD for one run ("-":
// standard input, standard output).
struct FileOverrides {
  bool input = false;
  std::string inputPath;
  bool output = false;
  std::string outputPath;
};

// The last step of reading a parameter file, the same for a run and a check:
// the overrides, the file-setting checks of the job, and one file named by
// INP and OUT by two spellings (15).
StatementError FinishJob(JobReader& reader, const FileOverrides& overrides, Platform& platform);
