#include "run/FileSettings.h"

#include "platform/PathName.h"
#include "platform/Wildcard.h"

std::string_view FolderOf(std::string_view path) { return path.substr(0, NameStart(path)); }

bool NamesSameFile(const Job& job, Platform& platform) {
  if (job.folderMode || job.standardInput || job.standardOutput || IsWildcardPattern(job.inputPattern)) {
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
