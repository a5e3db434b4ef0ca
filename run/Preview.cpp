#include "run/Preview.h"

#include "run/Run.h"

#include <algorithm>
#include <memory>

#include "job/JobReader.h"
#include "platform/Cp932.h"
#include "record/DefinitionValue.h"
#include "record/RecordStep.h"

namespace {

constexpr std::string_view kSelection = "SEL";
constexpr std::string_view kCondition = "@";

bool Holds(const Condition& condition, const Term* term) {
  for (const Term& candidate : condition.terms) {
    if (&candidate == term) return true;
  }
  return false;
}

// The statement whose condition `term` belongs to: its line, and "SEL" or
// "@". False for a term of no statement of `job`.
bool FindTerm(const Job& job, const Term* term, int& line, std::string_view& what) {
  what = kCondition;
  for (const SelectionGroup& group : job.selection) {
    if (!Holds(group.condition, term)) continue;
    line = group.line;
    what = kSelection;
    return true;
  }
  for (const EditDefinition& definition : job.edits) {
    if (!Holds(definition.condition, term)) continue;
    line = definition.line;
    return true;
  }
  for (const ChangeDefinition& definition : job.changes) {
    if (!Holds(definition.condition, term)) continue;
    line = definition.line;
    return true;
  }
  return false;
}

// The keyword of the edit statement on `line`.
std::string_view DefinitionKeyword(const Job& job, int line) {
  for (const EditDefinition& definition : job.edits) {
    if (definition.line == line) return KeywordOf(definition.conversion);
  }
  for (const CsvDefinition& definition : job.csv) {
    if (definition.line == line) return KeywordOf(definition.conversion);
  }
  return KeywordOf(Conversion::kNone);
}

// The row of `line` and `what`, added at the end when there is none yet.
StatementMarks& RowFor(std::vector<StatementMarks>& rows, int line, std::string_view what) {
  for (StatementMarks& row : rows) {
    if (row.line == line && row.what == what) return row;
  }
  StatementMarks& row = rows.emplace_back();
  row.line = line;
  row.what = what;
  return row;
}

// Rows in the order of their statements; a definition's condition before
// its value.
void SortRows(std::vector<StatementMarks>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const StatementMarks& a, const StatementMarks& b) {
    if (a.line != b.line) return a.line < b.line;
    return a.what == kCondition && b.what != kCondition;
  });
}

// Which definition (by line, 0 for none) made each byte of the line, after
// the replacements of one definition application: `made` are its
// replacements, in the line they left.
std::vector<int> FollowReplacements(const std::vector<int>& before,
                                    const RecordTrace::Replacement* made, size_t count) {
  std::vector<int> after;
  after.reserve(before.size());
  size_t from = 0;  // bytes of `before` taken so far
  for (size_t i = 0; i < count; ++i) {
    // Where the replaced text started in the line before: as far after the
    // last one taken as the replacement is after the bytes made so far.
    const size_t gap = made[i].range.start - std::min(made[i].range.start, after.size());
    const size_t start = std::min(before.size(), from + gap);
    after.insert(after.end(), before.begin() + static_cast<ptrdiff_t>(from),
                 before.begin() + static_cast<ptrdiff_t>(start));
    after.insert(after.end(), made[i].range.length, made[i].line);
    from = std::min(before.size(), start + made[i].replaced);
  }
  after.insert(after.end(), before.begin() + static_cast<ptrdiff_t>(from), before.end());
  return after;
}

// Reports an input that cannot be opened or read as a run does (92, naming
// the pattern upper-cased); returns the exit status.
int FailInput(const PreviewRequest& request, const std::string& pattern,
              const FailureDetail& what, PreviewObserver& observer) {
  RunFailure failure;
  failure.code = ErrorCode::kInputFailed;
  failure.stage = FailureStage::kInput;
  failure.fileName = cp932::Upper(pattern);
  failure.parameterFile = request.parameterFile;
  failure.what = what;
  observer.Failed(failure);
  return 1;
}

// The first input file of `pattern` ("-": standard input), open for
// reading, and its bare name; null with what failed in `failure`.
std::unique_ptr<File> OpenFirstInput(Platform& platform, const std::string& pattern,
                                     std::string& name, FailureDetail& failure) {
  name = pattern;
  failure.path = pattern;
  if (pattern == "-") {
    std::unique_ptr<File> input = platform.OpenStandardInput();
    if (!input) failure = {"cannot open input", pattern, "standard input is closed", ""};
    return input;
  }
  for (const DirMatch& match : platform.FindFiles(pattern)) {
    if (match.isDirectory) continue;
    name = match.name;
    failure.action = "cannot open input";
    failure.path = std::string(FolderOf(pattern)) + match.name;
    return platform.Open(match.fullPath, OpenMode::kRead, failure.reason);
  }
  failure.action = "no file matches";
  return nullptr;
}

// Runs records through the job with a trace and reports each.
class Previewer {
 public:
  Previewer(const Job* job, Platform& platform, PreviewObserver& observer)
      : job_(job), observer_(observer), context_(platform) {}

  void Start(std::string_view fileName) { context_.fileName = fileName; }

  // Shows the record a piece holds, converted from UTF-8 under `form` as a
  // run converts it (a record that cannot be is shown as far as it could,
  // with error 28).
  void Show(std::string_view piece, const DataForm& form) {
    if (IsEmptyUtf8File(piece, context_.inCount == 0, form)) return;
    report_ = PreviewRecord();
    report_.fileName = context_.fileName;
    report_.job = job_;
    std::string_view record;
    context_.error = ErrorCode::kNone;
    if (!DecodeRecord(piece, context_.inCount == 0, form, context_, record)) {
      report_.bytes = std::string_view(context_.decoded.data(), context_.decodeProblem.written);
      report_.number = context_.inCount;
      report_.job = nullptr;
      report_.error = context_.error;
      report_.errorDetail = DescribeDecodeProblem(context_.decodeProblem);
      observer_.RecordPreviewed(report_);
      return;
    }
    report_.bytes = record;
    if (job_ == nullptr) {
      report_.number = ++context_.inCount;
    } else {
      Convert(record);
    }
    observer_.RecordPreviewed(report_);
  }

  int64_t Count() const { return context_.inCount; }

 private:
  void Convert(std::string_view record) {
    context_.out.clear();
    context_.error = ErrorCode::kNone;
    context_.errorLine = 0;
    context_.headerLength = 0;
    trace_.Clear();
    context_.trace = &trace_;
    const Selection selection = ProcessRecord(*job_, record, context_);
    context_.trace = nullptr;
    report_.number = context_.inCount;
    report_.explanation = RecordExplanation{context_.fileName, context_.inCount,
                                            selection.selected, job_, &trace_};
    report_.reads = MarkReads(*job_, trace_);
    if (context_.error != ErrorCode::kNone) {
      report_.error = context_.error;
      report_.errorLine = context_.errorLine;
      report_.errorStatement = StatementAt(*job_, context_.errorLine);
    } else if (selection.selected) {
      Result(record);
    }
  }

  // The converted line (without a CSV header line and the line feed) and
  // what the statements wrote in it.
  void Result(std::string_view record) {
    report_.converted = true;
    std::string_view output = context_.out;
    output.remove_prefix(std::min(context_.headerLength, output.size()));
    if (!output.empty() && output.back() == '\n') output.remove_suffix(1);
    report_.output = output;
    switch (job_->type) {
      case ProcessingType::kCopy: break;
      case ProcessingType::kChange:
        report_.writes = MarkReplacements(trace_, record.size(), output.size());
        break;
      case ProcessingType::kEdit:
        for (const RecordTrace::DefinitionUse& use : trace_.definitions) {
          RowFor(report_.writes, use.line, DefinitionKeyword(*job_, use.line))
              .ranges.push_back(use.output);
        }
        break;
      case ProcessingType::kCsv: Fields(); break;
    }
  }

  // CSV: each value with its definition's header name.
  void Fields() {
    for (const RecordTrace::DefinitionUse& use : trace_.definitions) {
      CsvField& field = report_.fields.emplace_back();
      field.line = use.line;
      field.keyword = DefinitionKeyword(*job_, use.line);
      field.value = use.value;
      for (const CsvDefinition& definition : job_->csv) {
        if (definition.line != use.line) continue;
        std::string_view name;  // a text or a constant: always there
        OperandValue(definition.header, {}, false, definition.line, context_, context_.constant,
                     name);
        field.header.assign(name);
      }
    }
  }

  const Job* job_;
  PreviewObserver& observer_;
  RecordContext context_;
  RecordTrace trace_;
  PreviewRecord report_;
};

}  // namespace

std::vector<StatementMarks> MarkReads(const Job& job, const RecordTrace& trace) {
  std::vector<StatementMarks> rows;
  for (const RecordTrace::TermRead& read : trace.termReads) {
    int line = 0;
    std::string_view what;
    if (!FindTerm(job, read.term, line, what)) continue;
    StatementMarks& row = RowFor(rows, line, what);
    if (read.found) row.ranges.push_back(read.range);
  }
  for (const RecordTrace::DefinitionUse& use : trace.definitions) {
    if (use.readsField) {
      RowFor(rows, use.line, DefinitionKeyword(job, use.line)).ranges.push_back(use.input);
    }
  }
  SortRows(rows);
  return rows;
}

std::vector<StatementMarks> MarkReplacements(const RecordTrace& trace, size_t recordLength,
                                             size_t length) {
  std::vector<int> madeBy(recordLength, 0);
  const std::vector<RecordTrace::Replacement>& made = trace.replacements;
  // The replacements of one definition come one after another.
  for (size_t first = 0, last = 0; first < made.size(); first = last) {
    while (last < made.size() && made[last].line == made[first].line) ++last;
    madeBy = FollowReplacements(madeBy, &made[first], last - first);
  }
  madeBy.resize(std::min(madeBy.size(), length));
  std::vector<StatementMarks> rows;
  for (size_t i = 0; i < madeBy.size(); ++i) {
    if (madeBy[i] == 0) continue;
    StatementMarks& row = RowFor(rows, madeBy[i], KeywordOf(Conversion::kNone));
    if (row.ranges.empty() || row.ranges.back().start + row.ranges.back().length != i) {
      row.ranges.push_back(ByteRange{i, 0});
    }
    ++row.ranges.back().length;
  }
  SortRows(rows);
  return rows;
}

int RunPreview(const PreviewRequest& request, Platform& platform, PreviewObserver& observer) {
  JobRead read;
  const bool withJob = !request.parameterFile.empty();
  if (withJob && !ReadJob(platform, request, read)) {
    observer.Failed(read.failure);
    return 1;
  }
  const Job& job = read.job;
  const std::string pattern = withJob ? job.inputPattern : request.overrides.inputPath;
  std::string name;
  FailureDetail failure;
  std::unique_ptr<File> input = OpenFirstInput(platform, pattern, name, failure);
  if (!input) return FailInput(request, pattern, failure, observer);

  Previewer previewer(withJob ? &job : nullptr, platform, observer);
  previewer.Start(name);
  TextReader reader;
  reader.Attach(std::move(input), request.data.Pieces());
  std::string_view piece;
  while (previewer.Count() < request.records && reader.ReadPiece(piece)) {
    previewer.Show(piece, request.data);
  }
  if (reader.Failed()) {
    failure = FailureDetail{"cannot read input", failure.path, reader.FailureReason(), ""};
    return FailInput(request, pattern, failure, observer);
  }
  reader.Close();
  observer.InputEnded(name, previewer.Count());
  return 0;
}
