// The run: reads the parameter file into a job, opens the output (one file
// for the run, or one per input file in folder mode), finds the input files,
// feeds each through the record loop and reports through a RunObserver.
// It stops at the first error; records already written stay written.
#pragma once

#include <string>
#include <vector>

#include "job/Job.h"
#include "job/JobReader.h"
#include "platform/Platform.h"
#include "run/RunObserver.h"

struct RunRequest {
  std::string parameterFile;  // as given on the command line
};

// Runs the conversion; returns the exit status (0, or 1 after any error,
// which has then been reported to `observer`).
int RunConversion(const RunRequest& request, Platform& platform, RunObserver& observer);

// Reads a whole parameter file into `reader`. Without `errors`, reading
// stops at the first failing statement (a run); with it, every statement is
// read and each failure is added there (a check). Returns the first error:
// 90 with line 0 when the file cannot be opened, 90 with the lines read so
// far when reading fails half way, or the first statement's error.
StatementError ReadParameterFile(Platform& platform, const std::string& path, JobReader& reader,
                                 std::vector<StatementError>* errors = nullptr);
