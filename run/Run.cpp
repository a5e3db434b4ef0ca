#include "run/Run.h"

#include <algorithm>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "platform/Cp932.h"
#include "platform/TextIo.h"
#include "record/RecordContext.h"
#include "run/CopyLoop.h"
#include "run/FileSettings.h"
#include "run/ParallelLoop.h"
#include "run/RecordLoop.h"

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  cp932::UpperInPlace(upper);
  return upper;
}

// One run's outputs: the file of file mode, open for the whole run, or in
// folder mode one file per input file. Every output is opened without
// emptying, locked, checked, and only then emptied. A method that fails
// says why in `path`, `reason` and `detail`.
class Outputs {
 public:
  Outputs(const Job& job, Platform& platform) : job_(job), platform_(platform) {}

  // File mode: opens the one output before the inputs are looked up (it is
  // created or emptied even when nothing matches). False: 91.
  bool OpenForRun() {
    if (job_.folderMode) return true;
    path = job_.outputPath;
    action = "cannot open output";
    if (job_.standardOutput) {
      std::unique_ptr<File> file = platform_.OpenStandardOutput();
      if (!file) {
        reason = "standard output is closed";
        return false;
      }
      writer_.Attach(std::move(file));
      return true;
    }
    return Open(path);
  }

  // Folder mode: opens the output of one input file (the folder as written,
  // then the input's bare name). In file mode there is nothing to do. False: 91.
  bool OpenForInput(const DirMatch& input) {
    if (!job_.folderMode) return true;
    path = job_.outputPath + input.name;
    action = "cannot open output";
    std::unique_ptr<File> file =
        platform_.Open(path, job_.append ? OpenMode::kAppend : OpenMode::kWrite, reason);
    if (!file) return false;
    // Output folder = input folder would name the input itself: refused
    // before anything is emptied, so the input is never lost.
    FileId inputId;
    if (platform_.GetFileId(input.fullPath, inputId) && inputId == file->Id()) {
      detail = "the output would be the input file itself";
      return false;
    }
    if (!job_.append) {
      // Two input files whose names differ only in letter case find the same
      // output file; emptying it again would silently lose the first one's
      // output, so the second is refused instead.
      if (emptied_.count(file->Id()) != 0) {
        detail = "this run already wrote that output for another input file";
        return false;
      }
      if (!file->Truncate()) {
        reason = file->FailureReason();
        return false;
      }
      emptied_.insert(file->Id());
    }
    writer_.Attach(std::move(file));
    return true;
  }

  // True when `file` is this run's open output (it is never read as input).
  bool IsOutput(const File& file) const {
    return writer_.IsOpen() && writer_.Handle()->Id() == file.Id();
  }

  // After an input file: folder mode closes its output; file mode, when the
  // file went well, hands the buffered bytes to the file so that a full disk
  // is reported against the file they came from, before its summary line
  // claims success. False: 91.
  bool FinishInput(bool succeeded) {
    if (job_.folderMode) return Stored(writer_.Close());
    return !succeeded || Stored(writer_.Flush());
  }
  // Folder mode, after an input that could not be opened: its output was
  // already created or emptied, and nothing else is lost.
  void AbandonInput() {
    if (job_.folderMode) writer_.Close();
  }
  // File mode: the output is only safe once closed. False: 91.
  bool CloseForRun() { return job_.folderMode || Stored(writer_.Close()); }

  // After a failed write of records: why.
  void NoteWriteFailure() { Stored(false); }

  TextWriter& Writer() { return writer_; }

  std::string action;
  std::string path;
  std::string reason;
  std::string detail;

 private:
  bool Open(const std::string& target) {
    std::unique_ptr<File> file =
        platform_.Open(target, job_.append ? OpenMode::kAppend : OpenMode::kWrite, reason);
    if (file && !job_.append && !file->Truncate()) {
      reason = file->FailureReason();
      file.reset();
    }
    if (!file) return false;
    writer_.Attach(std::move(file));
    return true;
  }

  // Notes the writer's reason when `stored` is false.
  bool Stored(bool stored) {
    if (!stored && reason.empty()) {
      action = "cannot write output";
      reason = writer_.FailureReason();
      if (reason.empty()) reason = "the data could not be stored";
      path = job_.folderMode ? path : job_.outputPath;
    }
    return stored;
  }

  const Job& job_;
  Platform& platform_;
  TextWriter writer_;
  std::set<FileId> emptied_;  // a set: a run may write thousands of outputs
};

class ConversionRun {
 public:
  ConversionRun(const Job& job, Platform& platform, RunObserver& observer,
                const RunRequest& request)
      : job_(job), platform_(platform), observer_(observer), request_(request),
        parameterFile_(request.parameterFile), outputs_(job, platform), context_(platform) {}

  int Run() {
    if (!outputs_.OpenForRun()) {
      ReportOutputFailure();
      return 1;
    }

    std::vector<DirMatch> matches;
    if (job_.standardInput) {
      // Standard input is one input file, named "-"; opened now, so that
      // its size, when it is a file, is known from the start (the progress
      // line's percentage, the number of threads).
      DirMatch standard;
      standard.name = job_.inputPattern;
      standard.fullPath = job_.inputPattern;
      standardInput_ = platform_.OpenStandardInput();
      if (standardInput_) standard.size = standardInput_->Size();
      matches.push_back(standard);
    } else {
      matches = platform_.FindFiles(job_.inputPattern);
    }
    if (matches.empty()) {
      context_.error = ErrorCode::kInputOpen;
      failureAction_ = "no file matches";
      failurePath_ = job_.inputPattern;
    }
    int index = 0;
    int count = 0;
    for (const DirMatch& match : matches) count += match.isDirectory ? 0 : 1;
    for (const DirMatch& match : matches) {
      if (context_.error != ErrorCode::kNone) break;
      if (match.isDirectory) continue;
      currentName_ = match.name;
      fileInfo_ = InputFileInfo();
      fileInfo_.name = match.name;
      fileInfo_.fullPath = match.fullPath;
      fileInfo_.index = ++index;
      fileInfo_.count = count;
      fileInfo_.size = match.size;
      observer_.FileStarted(fileInfo_);
      const long long start = platform_.Now();
      ProcessFile(match);
      const long long end = platform_.Now();
      if (context_.error != ErrorCode::kNone) break;
      FileSummary summary;
      summary.name = match.name;
      summary.recordsRead = context_.inCount;
      summary.recordsWritten = context_.outCount;
      summary.seconds = end - start;
      observer_.FileFinished(summary);
    }

    if (!outputs_.CloseForRun() && context_.error == ErrorCode::kNone) {
      ReportOutputFailure();
      return 1;
    }
    if (context_.error == ErrorCode::kNone) return 0;

    RunFailure failure;
    failure.code = context_.error;
    failure.stage = FailureStage::kInput;
    failure.parameterFile = parameterFile_;
    if (context_.error == ErrorCode::kInputOpen) {
      // Every 92 names the pattern, upper-cased, with the count 0.
      failure.fileName = Upper(job_.inputPattern);
      failure.records = 0;
    } else {
      failure.fileName = currentName_;
      failure.records = context_.inCount;
    }
    if (context_.error == ErrorCode::kOutputOpen) {
      failure.action = outputs_.action;
      failure.path = outputs_.path;
      failure.reason = outputs_.reason;
      failure.detail = outputs_.detail;
    } else {
      failure.action = failureAction_;
      failure.path = failurePath_;
      failure.reason = failureReason_;
      failure.detail = failureDetail_;
    }
    failure.statementLine = context_.errorLine;
    failure.statement.assign(StatementAt(job_, context_.errorLine));
    observer_.Failed(failure);
    return 1;
  }

 private:
  void ProcessFile(const DirMatch& match) {
    context_.fileName = match.name;
    context_.inCount = 0;
    context_.outCount = 0;

    if (!outputs_.OpenForInput(match)) {
      context_.error = ErrorCode::kOutputOpen;
      return;
    }
    std::unique_ptr<File> input;
    if (!job_.standardInput) {
      input = platform_.Open(match.fullPath, OpenMode::kRead, failureReason_);
    } else if (!(input = std::move(standardInput_))) {
      failureReason_ = "standard input is closed";
    }
    // The run's own open output is never read as input (INP matching OUT).
    if (input && outputs_.IsOutput(*input)) {
      input.reset();
      failureDetail_ = "the input file is this run's own output";
    }
    if (!input) {
      context_.error = ErrorCode::kInputOpen;
      failureAction_ = "cannot open input";
      failurePath_ = WrittenPath(match);
      outputs_.AbandonInput();
      return;
    }
    const int workers = WorkersFor(*input);
    if (CopiesAsIs(*input)) {
      CopyRecords(*input, outputs_.Writer(), context_, observer_, failureReason_);
      input->Close();
    } else if (workers > 1) {
      ParallelOptions options;
      options.workers = workers;
      options.blockSize = request_.blockSize;
      ProcessRecordsInParallel(job_, *input, outputs_.Writer(), context_, observer_, platform_,
                               options, failureReason_);
      input->Close();
    } else {
      reader_.Attach(std::move(input));
      ProcessRecords(job_, reader_, outputs_.Writer(), context_, observer_);
      failureReason_ = reader_.FailureReason();
      reader_.Close();
    }
    if (context_.error == ErrorCode::kInputOpen) {
      failureAction_ = "cannot read input";
      failurePath_ = WrittenPath(match);
    } else if (context_.error == ErrorCode::kOutputOpen) {
      outputs_.NoteWriteFailure();
    }
    if (!outputs_.FinishInput(context_.error == ErrorCode::kNone) &&
        context_.error == ErrorCode::kNone) {
      context_.error = ErrorCode::kOutputOpen;
    }
  }

  // Threads for one input file. One thread whenever records must be seen in
  // order by one context: explanations, and [OUT_LINE].
  int WorkersFor(const File& input) const {
    if (observer_.RecordsToExplain() > 0 || !CanRunInParallel(job_)) return 1;
    if (request_.jobs > 0) return request_.jobs;
    constexpr int64_t kLargeFile = int64_t{64} << 20;
    if (input.Size() < kLargeFile) return 1;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  }

  // COPY without conditions of a file large enough to gain from writing
  // lines in output form as they are.
  bool CopiesAsIs(const File& input) const {
    constexpr int64_t kWorthACopy = int64_t{1} << 20;
    return job_.type == ProcessingType::kCopy && job_.selection.empty() &&
           observer_.RecordsToExplain() == 0 && input.Size() >= kWorthACopy;
  }

  // An input file as the parameter file would name it: the INP folder as
  // written, then the name found.
  std::string WrittenPath(const DirMatch& match) const {
    return std::string(FolderOf(job_.inputPattern)) + match.name;
  }

  void ReportOutputFailure() {
    RunFailure failure;
    failure.code = ErrorCode::kOutputOpen;
    failure.stage = FailureStage::kOutputOpen;
    failure.parameterFile = parameterFile_;
    failure.action = outputs_.action;
    failure.path = outputs_.path;
    failure.reason = outputs_.reason;
    failure.detail = outputs_.detail;
    observer_.Failed(failure);
  }

  const Job& job_;
  Platform& platform_;
  RunObserver& observer_;
  const RunRequest& request_;
  const std::string& parameterFile_;
  Outputs outputs_;
  std::unique_ptr<File> standardInput_;  // until its turn, when it is the input
  TextReader reader_;
  RecordContext context_;
  std::string currentName_;
  InputFileInfo fileInfo_;
  std::string failureAction_;
  std::string failurePath_;
  std::string failureReason_;
  std::string failureDetail_;
};

}  // namespace

int RunConversion(const RunRequest& request, Platform& platform, RunObserver& observer) {
  JobReader reader;
  ParameterFileResult read = ReadParameterFile(platform, request.parameterFile, request.encoding,
                                               reader);
  StatementError error = read.first;
  if (error.ok()) {
    if (request.overrideInput) reader.OverrideInput(request.input);
    if (request.overrideOutput) reader.OverrideOutput(request.output);
    error = reader.Finish();
    if (error.ok() && NamesSameFile(reader.GetJob(), platform)) {
      error.code = ErrorCode::kBadFileSettings;
      error.detail = "OUT names the INP file by another spelling; it would be emptied";
    }
  }
  if (!error.ok()) {
    RunFailure failure;
    failure.code = error.code;
    failure.stage = FailureStage::kParameters;
    failure.line = error.line;
    failure.parameterFile = request.parameterFile;
    failure.statement = error.statement;
    failure.column = error.column;
    failure.detail = error.detail;
    if (error.code == ErrorCode::kParameterFileOpen) {
      failure.action = error.line == 0 ? "cannot open the parameter file"
                                       : "cannot read the parameter file";
      failure.path = request.parameterFile;
      failure.reason = read.reason;
    }
    observer.Failed(failure);
    return 1;
  }
  const Job job = reader.TakeJob();
  ConversionRun conversion(job, platform, observer, request);
  return conversion.Run();
}
