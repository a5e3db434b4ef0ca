// The run: reads the parameter file into a job, opens the output (one file
// for the run, or one per input file in folder mode), finds the input files,
// feeds each through the record loop and reports through a RunObserver.
// It stops at the first error; records already written stay written.
#pragma once

#include <optional>
#include <string>

#include "job/Job.h"
#include "job/JobReader.h"
#include "platform/Platform.h"
#include "run/FileSettings.h"
#include "run/ParameterFile.h"
#include "run/RecordInput.h"
#include "run/RunObserver.h"

// Where a job and its data come from, for a run and a preview alike: the
// parameter file, how to read it, -i and -o, and the data's form.
struct JobSource {
  std::string parameterFile;  // as given on the command line ("-": standard input)
  ParamEncoding encoding = ParamEncoding::kAuto;
  FileOverrides overrides;  // -i and -o
  DataForm data;            // UTF-8 input or output, line ends, byte-order mark
};

struct RunRequest : JobSource {
  // Threads converting one input file: 0 chooses (every core for a file of
  // 64 MiB or more, else one); the blocks they take (for testing).
  int jobs = 0;
  size_t blockSize = size_t{1} << 20;
  size_t partBytes = size_t{2} << 20;  // output handed on at a time (see ParallelOptions)
};

// Runs the conversion; returns the exit status: 0, 1 after any error (which
// has then been reported to `observer`), or 128 + the signal's number after
// a stop signal (reported as a stop).
int RunConversion(const RunRequest& request, Platform& platform, RunObserver& observer);

// A parameter file read into a job, as a run and a preview read it: the
// statements, -i/-o and the file settings, and under UTF-8 input the quoted
// texts in their canonical form. False with the failure to report.
struct JobRead {
  Job job;
  RunFailure failure;
  std::optional<FileId> parameterFile;  // a regular file's identity
};
bool ReadJob(Platform& platform, const JobSource& source, JobRead& result);

// The report of an error in reading a parameter file (`read` says how it
// was read): the statement, or for 90 what could not be done and why.
RunFailure ParameterFailure(const std::string& parameterFile, const StatementError& error,
                            const ParameterFileResult& read);
