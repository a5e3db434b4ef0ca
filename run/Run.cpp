#include "run/Run.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
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


constexpr std::string_view kOwnOutput = "the input file is this run's own output";

// The files a run reads, by identity, so that none of them is ever opened as
// an output: opening an output empties it. Regular files only: a device or
// a pipe (/dev/null) may well be read and written by one run.
struct ReadFiles {
  std::optional<FileId> parameterFile;
  std::optional<FileId> standardInput;
  // The inputs that exist before any output is opened, and how the
  // parameter file would name each of them.
  std::map<FileId, std::string> inputs;
};

// One run's outputs: the file of file mode, open for the whole run, or in
// folder mode one file per input file. Every output is opened without
// emptying, locked, compared with every file the run reads, and only then
// emptied. A method that fails says why in `failure`.
class Outputs {
 public:
  Outputs(const Job& job, Platform& platform, const ReadFiles& read, const DataForm& form)
      : job_(job), platform_(platform), read_(read), byteOrderMark_(form.byteOrderMark) {
    writer_.SetForm(form.output);
  }

  // File mode: opens the one output before the inputs are enumerated (it is
  // created or emptied even when nothing matches). 91, or 92 when it is a
  // file the run reads as input.
  ErrorCode OpenForRun() {
    if (job_.folderMode) return ErrorCode::kNone;
    failure = FailureDetail{"cannot open output", job_.outputPath, "", ""};
    if (!job_.standardOutput) return Open(job_.outputPath, nullptr);
    std::unique_ptr<File> file = platform_.OpenStandardOutput();
    if (!file) {
      failure.reason = "standard output is closed";
      return ErrorCode::kOutputFailed;
    }
    return Attach(std::move(file), nullptr);
  }

  // Folder mode: opens the output of one input file (the folder as written,
  // then the input's bare name). In file mode there is nothing to do.
  ErrorCode OpenForInput(const DirMatch& input, const std::optional<FileId>& inputId) {
    if (!job_.folderMode) return ErrorCode::kNone;
    failure = FailureDetail{"cannot open output", job_.outputPath + input.name, "", ""};
    return Open(failure.path, inputId ? &*inputId : nullptr);
  }

  // True when `id` is this run's open output (it is never read as input).
  bool IsOutput(const FileId& id) const {
    return writer_.IsOpen() && writer_.Handle()->Id() == id;
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

  FailureDetail failure;

 private:
  ErrorCode Open(const std::string& path, const FileId* currentInput) {
    std::unique_ptr<File> file =
        platform_.Open(path, job_.append ? OpenMode::kAppend : OpenMode::kWrite, failure.reason);
    if (!file) return ErrorCode::kOutputFailed;
    return Attach(std::move(file), currentInput);
  }

  // Refuses a file the run reads, then empties the output (OUT) and keeps it.
  ErrorCode Attach(std::unique_ptr<File> file, const FileId* currentInput) {
    const ErrorCode refused = Refuse(*file, currentInput);
    if (refused != ErrorCode::kNone) return refused;
    // A byte-order mark only where the file starts: not in the middle of
    // what ADD appends to.
    const bool starts = !job_.append || file->Size() <= 0;
    if (!job_.append && !job_.standardOutput) {
      // Two input files whose names differ only in letter case find the
      // same output file; emptying it again would silently lose the first
      // one's output, so the second is refused instead.
      if (job_.folderMode && !emptied_.insert(file->Id()).second) {
        failure.detail = "this run already wrote that output for another input file";
        return ErrorCode::kOutputFailed;
      }
      if (!file->Truncate()) {
        failure.reason = file->FailureReason();
        return ErrorCode::kOutputFailed;
      }
    }
    writer_.Attach(std::move(file));
    if (byteOrderMark_ && starts) writer_.StartWithByteOrderMark();
    return ErrorCode::kNone;
  }

  // Whether `file`, about to be written, is one the run reads: 91 for the
  // parameter file or another input of folder mode, 92 (with the input as
  // the file that cannot be read) for the input of file mode or standard
  // input, as when the enumeration meets the run's own output.
  ErrorCode Refuse(const File& file, const FileId* currentInput) {
    if (file.Size() < 0) return ErrorCode::kNone;  // a device or a pipe
    const FileId id = file.Id();
    if (read_.parameterFile == id) {
      failure.detail = "the output would be the parameter file";
      return ErrorCode::kOutputFailed;
    }
    if (read_.standardInput == id) {
      failure = FailureDetail{"cannot open input", job_.inputPattern, "", std::string(kOwnOutput)};
      return ErrorCode::kInputFailed;
    }
    if (currentInput != nullptr && *currentInput == id) {
      failure.detail = "the output would be the input file itself";
      return ErrorCode::kOutputFailed;
    }
    const auto input = read_.inputs.find(id);
    if (input == read_.inputs.end()) return ErrorCode::kNone;
    if (job_.folderMode) {
      failure.detail = "the output would be another input file of this run, " + InQuotes(input->second);
      return ErrorCode::kOutputFailed;
    }
    failure = FailureDetail{"cannot open input", input->second, "", std::string(kOwnOutput)};
    return ErrorCode::kInputFailed;
  }

  // Notes the writer's reason when `stored` is false.
  bool Stored(bool stored) {
    if (!stored && failure.reason.empty()) {
      failure.action = "cannot write output";
      failure.reason = writer_.FailureReason();
      if (failure.reason.empty()) failure.reason = "the data could not be stored";
      if (!job_.folderMode) failure.path = job_.outputPath;
    }
    return stored;
  }

  const Job& job_;
  Platform& platform_;
  const ReadFiles& read_;
  const bool byteOrderMark_;
  TextWriter writer_;
  std::set<FileId> emptied_;  // a set: a run may write thousands of outputs
};

class ConversionRun {
 public:
  ConversionRun(const Job& job, Platform& platform, RunObserver& observer,
                const RunRequest& request, const ReadFiles& read)
      : job_(job), platform_(platform), observer_(observer), request_(request), read_(read),
        outputs_(job, platform, read_, request.data), context_(platform) {}

  int Run() {
    const ErrorCode opened = outputs_.OpenForRun();
    if (opened != ErrorCode::kNone) {
      context_.error = opened;
      return Fail(opened == ErrorCode::kOutputFailed ? FailureStage::kFileModeOutput
                                                   : FailureStage::kInput,
                  outputs_.failure);
    }
    // Enumerated again once the output exists: a pattern that meets the
    // output it just created is the run reaching its own output (92).
    if (!job_.standardInput) matches_ = platform_.FindFiles(job_.inputPattern);
    if (matches_.empty()) {
      context_.error = ErrorCode::kInputFailed;
      inputFailure_ = FailureDetail{"no file matches", job_.inputPattern, "", ""};
    }
    const bool stopped = ProcessFiles();
    const bool closed = outputs_.CloseForRun();
    ReportConversions();
    if (!closed && context_.error == ErrorCode::kNone) {
      context_.error = ErrorCode::kOutputFailed;
      return Fail(FailureStage::kFileModeOutput, outputs_.failure);
    }
    if (context_.error != ErrorCode::kNone) {
      return Fail(FailureStage::kInput, context_.error == ErrorCode::kOutputFailed
                                            ? outputs_.failure
                                            : inputFailure_);
    }
    if (!stopped) return 0;
    RunStop stop;
    stop.signal = platform_.StopSignal().load();
    stop.fileName = currentName_;
    stop.records = context_.inCount;
    observer_.Stopped(stop);
    return 128 + stop.signal;
  }

  // The matches of INP, before any output is opened; standard input is
  // opened now, so that its size, when it is a file, is known from the
  // start (the progress line's percentage, the number of threads).
  void FindInputs(ReadFiles& read) {
    if (job_.standardInput) {
      DirMatch standard;
      standard.name = job_.inputPattern;
      standard.fullPath = job_.inputPattern;
      standardInput_ = platform_.OpenStandardInput();
      if (standardInput_) {
        standard.size = standardInput_->Size();
        if (standard.size >= 0) read.standardInput = standardInput_->Id();
      }
      matches_.push_back(standard);
      return;
    }
    matches_ = platform_.FindFiles(job_.inputPattern);
    for (const DirMatch& match : matches_) {
      FileId id;
      if (!match.isDirectory && match.size >= 0 && platform_.GetFileId(match.fullPath, id)) {
        read.inputs.emplace(id, WrittenPath(match));
      }
    }
  }

 private:
  // Every input file in turn until the first error; true when a stop
  // signal ended the run.
  bool ProcessFiles() {
    int index = 0;
    int count = 0;
    for (const DirMatch& match : matches_) count += match.isDirectory ? 0 : 1;
    for (const DirMatch& match : matches_) {
      if (context_.error != ErrorCode::kNone) return false;
      if (match.isDirectory) continue;
      if (platform_.StopSignal().load(std::memory_order_relaxed) != 0) return true;
      InputFileInfo info;
      info.name = match.name;
      info.fullPath = match.fullPath;
      info.index = ++index;
      info.count = count;
      info.size = match.size;
      observer_.FileStarted(info);
      const long long start = platform_.Now();
      const LoopEnd end = ProcessFile(match);
      const long long finish = platform_.Now();
      if (end == LoopEnd::kStopped) return true;
      if (context_.error != ErrorCode::kNone) return false;
      FileSummary summary;
      summary.name = match.name;
      summary.recordsRead = context_.inCount;
      summary.recordsWritten = context_.outCount;
      summary.seconds = finish - start;
      observer_.FileFinished(summary);
    }
    return false;
  }

  LoopEnd ProcessFile(const DirMatch& match) {
    currentName_ = match.name;
    context_.fileName = match.name;
    context_.inCount = 0;
    context_.outCount = 0;
    std::optional<FileId> inputId;
    FileId id;
    if (!job_.standardInput && platform_.GetFileId(match.fullPath, id)) inputId = id;

    context_.error = outputs_.OpenForInput(match, inputId);
    if (context_.error != ErrorCode::kNone) {
      if (context_.error == ErrorCode::kInputFailed) inputFailure_ = outputs_.failure;
      return LoopEnd::kDone;
    }
    std::unique_ptr<File> input = OpenInput(match, inputId);
    if (!input) {
      context_.error = ErrorCode::kInputFailed;
      inputFailure_.action = "cannot open input";
      inputFailure_.path = WrittenPath(match);
      outputs_.AbandonInput();
      return LoopEnd::kDone;
    }
    const LoopEnd end = Convert(std::move(input));
    if (context_.error == ErrorCode::kInputFailed) {
      inputFailure_.action = "cannot read input";
      inputFailure_.path = WrittenPath(match);
    } else if (context_.error == ErrorCode::kOutputFailed) {
      outputs_.NoteWriteFailure();
    }
    // A stopped file's records so far are written whole, as a finished one's.
    if (!outputs_.FinishInput(context_.error == ErrorCode::kNone) &&
        context_.error == ErrorCode::kNone) {
      context_.error = ErrorCode::kOutputFailed;
    }
    return end;
  }

  // The input file, or null with the reason in inputFailure_. The run's own
  // open output is never read as input (INP matching OUT): it is found by
  // its identity before it is opened, as its lock would refuse it.
  std::unique_ptr<File> OpenInput(const DirMatch& match, const std::optional<FileId>& inputId) {
    std::unique_ptr<File> input;
    if (inputId && outputs_.IsOutput(*inputId)) {
      inputFailure_.detail = kOwnOutput;
    } else if (!job_.standardInput) {
      input = platform_.Open(match.fullPath, OpenMode::kRead, inputFailure_.reason);
    } else if (!(input = std::move(standardInput_))) {
      inputFailure_.reason = "standard input is closed";
    }
    if (input && outputs_.IsOutput(input->Id())) {
      input.reset();
      inputFailure_.detail = kOwnOutput;
    }
    return input;
  }

  // One of the three loops, as the job and the file call for.
  LoopEnd Convert(std::unique_ptr<File> input) {
    LoopEnd end;
    const int workers = WorkersFor(*input);
    if (CopiesAsIs(*input)) {
      end = CopyRecords(*input, outputs_.Writer(), context_, observer_, inputFailure_.reason);
      input->Close();
    } else if (workers > 1) {
      ParallelOptions options;
      options.workers = workers;
      options.blockSize = request_.blockSize;
      options.partBytes = request_.partBytes;
      options.form = request_.data;
      end = ProcessRecordsInParallel(job_, *input, outputs_.Writer(), context_, observer_,
                                     platform_, options, inputFailure_.reason);
      input->Close();
    } else {
      reader_.Attach(std::move(input), request_.data.Pieces());
      end = ProcessRecords(job_, reader_, outputs_.Writer(), context_, observer_, request_.data);
      inputFailure_.reason = reader_.FailureReason();
      reader_.Close();
    }
    return end;
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
    return CopiesPiecesAsRead(job_) && request_.data.AsIs() &&
           observer_.RecordsToExplain() == 0 && input.Size() >= kWorthACopy;
  }

  // An input file as the parameter file would name it: the INP folder as
  // written, then the name found.
  std::string WrittenPath(const DirMatch& match) const {
    return std::string(FolderOf(job_.inputPattern)) + match.name;
  }

  // What the encodings changed, when they changed anything.
  void ReportConversions() {
    DataConversions conversions;
    conversions.replaced = context_.replaced;
    conversions.blanks = outputs_.Writer().Blanks();
    if (conversions.replaced > 0 || conversions.blanks > 0) observer_.DataConverted(conversions);
  }

  // Reports the error in the context; returns the exit status.
  int Fail(FailureStage stage, const FailureDetail& what) {
    RunFailure failure;
    failure.code = context_.error;
    failure.stage = stage;
    failure.parameterFile = request_.parameterFile;
    failure.what = what;
    if (stage == FailureStage::kInput) {
      // Every 92 names the pattern, upper-cased, with the count 0.
      const bool inputOpen = context_.error == ErrorCode::kInputFailed;
      failure.fileName = inputOpen ? cp932::Upper(job_.inputPattern) : currentName_;
      failure.records = inputOpen ? 0 : context_.inCount;
      failure.statementLine = context_.errorLine;
      failure.statement.assign(StatementAt(job_, context_.errorLine));
      if (context_.error == ErrorCode::kNotCp932) {
        failure.what.detail = DescribeDecodeProblem(context_.decodeProblem);
      }
    }
    observer_.Failed(failure);
    return 1;
  }

  const Job& job_;
  Platform& platform_;
  RunObserver& observer_;
  const RunRequest& request_;
  const ReadFiles& read_;
  Outputs outputs_;
  std::vector<DirMatch> matches_;
  std::unique_ptr<File> standardInput_;  // until its turn, when it is the input
  TextReader reader_;
  RecordContext context_;
  std::string currentName_;
  FailureDetail inputFailure_;
};

}  // namespace

RunFailure ParameterFailure(const std::string& parameterFile, const StatementError& error,
                            const ParameterFileResult& read) {
  RunFailure failure;
  failure.code = error.code;
  failure.stage = FailureStage::kParameters;
  failure.line = error.line;
  failure.parameterFile = parameterFile;
  failure.statement = error.statement;
  failure.column = error.column;
  failure.what.detail = error.detail;
  if (error.code == ErrorCode::kParameterFileFailed) {
    const bool opened = error.line > 0 || read.tooLarge;
    failure.what.action = opened ? "cannot read the parameter file" : "cannot open the parameter file";
    failure.what.path = parameterFile;
    failure.what.reason = read.reason;
  }
  return failure;
}

bool ReadJob(Platform& platform, const JobSource& source, JobRead& result) {
  JobReader reader;
  const ParameterFileResult read =
      ReadParameterFile(platform, source.parameterFile, source.encoding, reader);
  StatementError error = read.first;
  if (error.ok()) error = FinishJob(reader, source.overrides, platform);
  if (!error.ok()) {
    result.failure = ParameterFailure(source.parameterFile, error, read);
    return false;
  }
  result.job = reader.TakeJob();
  if (source.data.utf8Input) CanonicalizeTexts(result.job);
  if (read.regularFile) result.parameterFile = read.id;
  return true;
}

int RunConversion(const RunRequest& request, Platform& platform, RunObserver& observer) {
  JobRead read;
  if (!ReadJob(platform, request, read)) {
    observer.Failed(read.failure);
    return 1;
  }

  // Stopped while the parameter file was read (it may be cut short): before
  // any output is opened.
  if (const int signal = platform.StopSignal().load(); signal != 0) {
    RunStop stop;
    stop.signal = signal;
    observer.Stopped(stop);
    return 128 + signal;
  }
  ReadFiles files;
  files.parameterFile = read.parameterFile;
  ConversionRun conversion(read.job, platform, observer, request, files);
  conversion.FindInputs(files);
  return conversion.Run();
}
