// Checking parameter files without running them: every statement error,
// the file-setting checks, and warnings about what will not work on this
// machine — a drive letter or UNC path, an INP or OUT folder that does not
// exist, an INP pattern that matches nothing. No input or output file is
// opened; folders are only looked at.
#pragma once

#include <string>
#include <vector>

#include "job/JobReader.h"
#include "platform/Platform.h"
#include "run/FileSettings.h"
#include "run/ParameterFile.h"

struct CheckWarning {
  int line = 0;           // the INP or OUT/ADD statement's line
  std::string message;    // English, with paths as written
};

struct CheckResult {
  bool opened = false;               // false: the file could not be read at all
  std::string reason;                // why not
  EncodingRead encoding = EncodingRead::kCp932;
  std::vector<StatementError> errors;
  std::vector<CheckWarning> warnings;
};

// How to check: the encoding to read with, and the command line's -i and -o
// in place of INP and OUT/ADD (as a run would take them).
struct CheckOptions {
  ParamEncoding encoding = ParamEncoding::kAuto;
  FileOverrides overrides;
};

CheckResult CheckParameterFile(Platform& platform, const std::string& path,
                               const CheckOptions& options);
