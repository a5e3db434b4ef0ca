#include "run/FileSettings.h"

#include "platform/Cp932.h"

std::string_view FolderOf(std::string_view path) {
  size_t nameStart = 0;
  for (size_t i = 0; i < path.size(); i += cp932::CharLen(path, i)) {
    if (cp932::CharLen(path, i) == 1 && (path[i] == '/' || path[i] == '\\')) nameStart = i + 1;
  }
  return path.substr(0, nameStart);
}

bool HasWildcards(std::string_view pattern) {
  const std::string_view name = pattern.substr(FolderOf(pattern).size());
  return cp932::FindChar(name, '*') != std::string_view::npos ||
         cp932::FindChar(name, '?') != std::string_view::npos;
}

bool NamesSameFile(const Job& job, Platform& platform) {
  if (job.folderMode || job.standardInput || job.standardOutput || HasWildcards(job.inputPattern)) {
    return false;
  }
  FileId inputId;
  FileId outputId;
  return platform.GetFileId(job.inputPattern, inputId) &&
         platform.GetFileId(job.outputPath, outputId) && inputId == outputId;
}

StatementError FinishJob(JobReader& reader, const FileOverrides& overrides, Platform& platform) {
  if (overrides.input) reader.OverrideInput(overrides.inputPath);
  if (overrides.output) reader.OverrideOutput(overrides.outputPath);
  StatementError error = reader.Finish();
  if (error.ok() && NamesSameFile(reader.GetJob(), platform)) {
    error.code = ErrorCode::kBadFileSettings;
    error.detail = "OUT names the INP file by another spelling; it would be emptied";
  }
  return error;
}
