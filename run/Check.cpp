#include "run/Check.h"

#include "run/FileSettings.h"

namespace {

// "C:..." or "\\server\share...": forms that only mean something on the
// platform the parameter file came from.
bool NamesDriveOrShare(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    return true;
  }
  return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
}


void CheckPaths(Platform& platform, const Job& job, std::vector<CheckWarning>& warnings) {
  if (!job.inputPattern.empty() && !job.standardInput) {
    const std::string_view folder = FolderOf(job.inputPattern);
    if (NamesDriveOrShare(job.inputPattern)) {
      warnings.push_back({job.inputLine, "INP " + InQuotes(job.inputPattern) +
                                             " has a drive letter or network share, which "
                                             "this system reads as a folder name"});
    }
    if (!folder.empty() && !platform.IsDirectory(std::string(folder))) {
      warnings.push_back({job.inputLine, "the INP folder " + InQuotes(folder) + " does not exist"});
    } else if (platform.FindFiles(job.inputPattern).empty()) {
      warnings.push_back({job.inputLine, "no file matches INP " + InQuotes(job.inputPattern)});
    }
  }
  if (!job.outputPath.empty() && !job.standardOutput) {
    if (NamesDriveOrShare(job.outputPath)) {
      warnings.push_back({job.outputLine, "OUT " + InQuotes(job.outputPath) +
                                              " has a drive letter or network share, which "
                                              "this system reads as a folder name"});
    }
    // Folder mode names the folder itself; file mode the folder of the file.
    const std::string_view folder = FolderOf(job.outputPath);
    if (!folder.empty() && !platform.IsDirectory(std::string(folder))) {
      warnings.push_back({job.outputLine, "the output folder " + InQuotes(folder) + " does not exist"});
    }
  }
}

}  // namespace

CheckResult CheckParameterFile(Platform& platform, const std::string& path,
                               const CheckOptions& options) {
  CheckResult result;
  JobReader reader;
  const ParameterFileResult read =
      ReadParameterFile(platform, path, options.encoding, reader, &result.errors);
  result.encoding = read.encoding;
  if (!result.errors.empty() && result.errors.front().code == ErrorCode::kParameterFileFailed &&
      result.errors.front().line == 0) {
    result.reason = read.reason;
    return result;
  }
  result.opened = true;
  const StatementError settings = FinishJob(reader, options.overrides, platform);
  if (!settings.ok()) result.errors.push_back(settings);
  CheckPaths(platform, reader.GetJob(), result.warnings);
  return result;
}
