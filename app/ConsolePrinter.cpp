// The console lines of a run. The Japanese texts are written readably here
// and become code page 932 bytes in the program.
#include "app/ConsolePrinter.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// printf-style formatting into a string sized to fit (names and patterns may
// be long, so no fixed buffer limits what is printed).
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  text.resize(static_cast<size_t>(needed));
  return text;
}


// Signal names for the stop line; the number for any other.
std::string SignalName(int signal) {
  switch (signal) {
    case 1: return "SIGHUP";
    case 2: return "SIGINT";
    case 15: return "SIGTERM";
  }
  return Format("signal %d", signal);
}

// The statement, indented, and a caret under the byte at `column`. In code
// page 932 a character's bytes are its width on the screen (double-byte
// characters are full width), so counting bytes places the caret; tabs are
// copied so that they expand alike.
std::string ShowStatement(const std::string& statement, size_t column) {
  std::string text = "  " + statement + "\n";
  if (column == std::string::npos || column > statement.size()) return text;
  text += "  ";
  for (size_t i = 0; i < column; ++i) text += statement[i] == '\t' ? '\t' : ' ';
  text += "^\n";
  return text;
}

// "held", or which term did not.
std::string ConditionOutcome(const Condition& condition, int failedTerm) {
  if (failedTerm < 0 || static_cast<size_t>(failedTerm) >= condition.terms.size()) return "held";
  return Format("failed at term %d: %s", failedTerm + 1,
                condition.terms[static_cast<size_t>(failedTerm)].written.c_str());
}

std::string Plural(int count, const char* word) {
  return Format("%d %s%s", count, word, count == 1 ? "" : "s");
}

}  // namespace

std::string ShowName(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    // A control byte is never the second byte of a double-byte character,
    // so each can be escaped where it stands.
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
      continue;
    }
    switch (byte) {
      case '\a': shown += "\\a"; break;
      case '\b': shown += "\\b"; break;
      case '\t': shown += "\\t"; break;
      case '\n': shown += "\\n"; break;
      case '\v': shown += "\\v"; break;
      case '\f': shown += "\\f"; break;
      case '\r': shown += "\\r"; break;
      default: shown += Format("\\%03o", byte); break;
    }
  }
  return shown;
}

std::string ConsolePrinter::ConsoleName(std::string_view name) {
  if (!consoleTerminalChecked_) {
    consoleTerminalChecked_ = true;
    consoleTerminal_ =
        platform_.IsTerminal(options_.consoleOnError ? Stream::kError : Stream::kOutput);
  }
  return consoleTerminal_ ? ShowName(name) : std::string(name);
}

void ConsolePrinter::WriteConsole(const std::string& text) {
  if (options_.consoleOnError) {
    platform_.WriteDiagnostic(text);
  } else {
    platform_.WriteConsole(text);
  }
}

void ConsolePrinter::FileStarted(const InputFileInfo& file) {
  if (!progressChecked_) {
    progressChecked_ = true;
    terminal_ = platform_.IsTerminal(Stream::kError);
    progressOn_ = options_.progress == ProgressMode::kAlways ||
                  (options_.progress == ProgressMode::kAuto && terminal_);
  }
  if (!progressOn_) return;
  fileName_ = ShowName(file.name);
  fileIndex_ = file.index;
  fileCount_ = file.count;
  fileSize_ = file.size;
  startMs_ = platform_.Milliseconds();
  lastDrawMs_ = startMs_;
}

void ConsolePrinter::RecordsAdvanced(int64_t records, int64_t bytes) {
  if (!progressOn_) return;
  const int64_t now = platform_.Milliseconds();
  // Only a file that takes more than a second shows it; then a few times a
  // second on a terminal, every few seconds as lines elsewhere.
  if (now - startMs_ < 1000 || now - lastDrawMs_ < (terminal_ ? 200 : 5000)) return;
  lastDrawMs_ = now;
  const std::string line =
      DescribeProgress(fileName_, fileIndex_, fileCount_, fileSize_, records, bytes, now - startMs_);
  if (terminal_) {
    platform_.WriteDiagnostic("\r" + line + "\x1b[K");
    shown_ = true;
  } else {
    platform_.WriteDiagnostic(line + "\n");
  }
}

void ConsolePrinter::EraseProgress() {
  if (!shown_) return;
  platform_.WriteDiagnostic("\r\x1b[K");
  shown_ = false;
}

void ConsolePrinter::FileFinished(const FileSummary& summary) {
  EraseProgress();
  // Minutes within the hour: a file that takes 1 h 5 min 10 s shows 05:10.
  const int64_t elapsed = summary.seconds;
  const int seconds = static_cast<int>(elapsed % 60);
  const int minutes = static_cast<int>(elapsed / 60 - (elapsed / 3600) * 60);
  const std::string name = ConsoleName(summary.name);
  WriteConsole(Format("入力ﾌｧｲﾙ:%s 入力件数:%" PRId64 " 出力件数:%" PRId64
                                " 処理時間:%02d:%02d\n",
                                name.c_str(), summary.recordsRead, summary.recordsWritten,
                                minutes, seconds));
}

void ConsolePrinter::Failed(const RunFailure& failure) {
  EraseProgress();
  const std::string message(ErrorMessage(failure.code));
  switch (failure.stage) {
    case FailureStage::kParameters:
      // The message and the line that caused it, two blanks between them.
      WriteConsole(Format("%s  %d行目\n", message.c_str(), failure.line));
      break;
    case FailureStage::kFileModeOutput:
      WriteConsole(message + "\n");
      break;
    case FailureStage::kInput:
      WriteConsole(message + Format("（入力ﾌｧｲﾙ:%s 入力件数:%" PRId64 " ）\n",
                                    ConsoleName(failure.fileName).c_str(), failure.records));
      break;
  }
  if (!options_.quiet) platform_.WriteDiagnostic(DescribeFailure(failure));
}

void ConsolePrinter::Stopped(const RunStop& stop) {
  EraseProgress();
  if (!options_.quiet) platform_.WriteDiagnostic(DescribeStop(stop));
}

void ConsolePrinter::DataConverted(const DataConversions& conversions) {
  EraseProgress();
  if (!options_.quiet) platform_.WriteDiagnostic(DescribeConversions(conversions));
}

void ConsolePrinter::RecordExplained(const RecordExplanation& explanation) {
  platform_.WriteDiagnostic(DescribeRecord(explanation));
}

std::string DescribeProgress(const std::string& name, int index, int count, int64_t size,
                             int64_t records, int64_t bytes, int64_t elapsedMs) {
  std::string text = "rux: " + name;
  if (count > 1) text += Format(" (%d/%d)", index, count);
  if (size > 0) text += Format(" %d%%", static_cast<int>(bytes * 100 / size));
  const double seconds = static_cast<double>(elapsedMs) / 1000.0;
  const double rate = seconds > 0 ? static_cast<double>(bytes) / seconds : 0.0;
  text += Format(" %.1f MB/s %" PRId64 " records", rate / 1e6, records);
  if (size > 0 && rate > 0 && bytes <= size) {
    const int64_t left = static_cast<int64_t>(static_cast<double>(size - bytes) / rate + 0.5);
    text += Format(" %02d:%02d left", static_cast<int>(left / 60), static_cast<int>(left % 60));
  }
  return text;
}

std::string DescribeFailure(const RunFailure& failure) {
  std::string text = Format("rux: error %d: ", ErrorNumber(failure.code));
  const std::string english(EnglishErrorMessage(failure.code));
  const bool statementError =
      failure.stage == FailureStage::kParameters && failure.code != ErrorCode::kParameterFileFailed;
  const FailureDetail& what = failure.what;
  if (statementError) {
    text += Format("%s:%d: %s", ShowName(failure.parameterFile).c_str(), failure.line,
                   english.c_str());
    if (!what.detail.empty()) text += ": " + what.detail;
    text += "\n";
    if (!failure.statement.empty()) text += ShowStatement(failure.statement, failure.column);
    return text;
  }
  if (failure.stage == FailureStage::kInput && failure.code != ErrorCode::kInputFailed) {
    // Where in the input: the file, and the record that failed.
    const std::string name = ShowName(failure.fileName);
    text += failure.records > 0 ? Format("%s, record %" PRId64 ": ", name.c_str(), failure.records)
                                : name + ": ";
  }
  if (what.action.empty()) {
    text += english;
  } else {
    text += what.action;
    if (!what.path.empty()) text += " " + InQuotes(ShowName(what.path));
    if (failure.code == ErrorCode::kParameterFileFailed && failure.line > 0) {
      text += Format(" after line %d", failure.line);
    }
  }
  if (!what.reason.empty()) text += ": " + what.reason;
  if (!what.detail.empty()) text += what.reason.empty() ? ": " + what.detail
                                                        : " (" + what.detail + ")";
  if (failure.statementLine > 0) {
    text += Format(" (line %d: %s)", failure.statementLine, failure.statement.c_str());
  }
  return text + "\n";
}

std::string DescribeStop(const RunStop& stop) {
  std::string text = "rux: stopped by " + SignalName(stop.signal);
  if (stop.fileName.empty()) return text + " before the first input file\n";
  return text + Format(" after record %" PRId64 " of ", stop.records) +
         InQuotes(ShowName(stop.fileName)) + "; the records up to it are written whole\n";
}

std::string DescribeConversions(const DataConversions& conversions) {
  std::string text;
  if (conversions.replaced > 0) {
    text += Format("rux: %" PRId64 " character%s without a code page 932 form replaced by a "
                   "stand-in of the same width\n",
                   conversions.replaced, conversions.replaced == 1 ? "" : "s");
  }
  if (conversions.blanks > 0) {
    text += Format("rux: %" PRId64 " output byte%s that %s not a whole code page 932 character "
                   "written as a blank\n",
                   conversions.blanks, conversions.blanks == 1 ? "" : "s",
                   conversions.blanks == 1 ? "was" : "were");
  }
  return text;
}

std::string DescribeRecord(const RecordExplanation& explanation) {
  return DescribeExplanation(explanation, Format("rux: explain: %s record %" PRId64 ": ",
                                                 ShowName(explanation.fileName).c_str(),
                                                 explanation.record));
}

std::string DescribeExplanation(const RecordExplanation& explanation, const std::string& where) {
  const Job& job = *explanation.job;
  const RecordTrace& trace = *explanation.trace;
  std::string text = where;
  if (job.selection.empty()) {
    text += "selected (no SEL statement)\n";
  } else if (explanation.selected) {
    const size_t group = trace.groupFailedTerm.empty() ? 0 : trace.groupFailedTerm.size() - 1;
    text += Format("selected by SEL line %d: %s\n", job.selection[group].line,
                   job.selection[group].written.c_str());
  } else {
    text += "not selected";
    for (size_t group = 0; group < trace.groupFailedTerm.size(); ++group) {
      const SelectionGroup& sel = job.selection[group];
      text += group == 0 ? ": " : "; ";
      text += Format("SEL line %d %s", sel.line,
                     ConditionOutcome(sel.condition, trace.groupFailedTerm[group]).c_str());
    }
    text += "\n";
  }
  // The "@" conditions of the definitions reached.
  for (size_t i = 0; i < trace.definitionFailedTerm.size(); ++i) {
    const Condition* condition = nullptr;
    std::string_view keyword = "EDT";
    int line = 0;
    if (job.type == ProcessingType::kEdit && i < job.edits.size()) {
      condition = &job.edits[i].condition;
      keyword = KeywordOf(job.edits[i].conversion);
      line = job.edits[i].line;
    } else if (job.type == ProcessingType::kChange && i < job.changes.size()) {
      condition = &job.changes[i].condition;
      line = job.changes[i].line;
    }
    if (condition == nullptr || condition->terms.empty()) continue;
    text += where + Format("%s line %d: \"@\" condition %s\n", std::string(keyword).c_str(), line,
                           ConditionOutcome(*condition, trace.definitionFailedTerm[i]).c_str());
  }
  return text;
}

std::string DescribeCheck(const std::string& path, const CheckResult& result) {
  std::string text;
  if (!result.opened) {
    return Format("%s: error 90: %s (%s): %s\n", path.c_str(),
                  std::string(ErrorMessage(ErrorCode::kParameterFileFailed)).c_str(),
                  std::string(EnglishErrorMessage(ErrorCode::kParameterFileFailed)).c_str(),
                  result.reason.c_str());
  }
  const char* encoding = "code page 932";
  switch (result.encoding) {
    case EncodingRead::kCp932: break;
    case EncodingRead::kAscii: encoding = "ASCII (the same in code page 932 and UTF-8)"; break;
    case EncodingRead::kUtf8Bom: encoding = "UTF-8 (byte-order mark)"; break;
    case EncodingRead::kUtf8Guessed: encoding = "UTF-8 (recognised)"; break;
    case EncodingRead::kUtf8Chosen: encoding = "UTF-8 (as chosen)"; break;
  }
  text += Format("%s: read as %s\n", path.c_str(), encoding);
  for (const StatementError& error : result.errors) {
    text += Format("%s:%d: error %d: %s (%s", path.c_str(), error.line, ErrorNumber(error.code),
                   std::string(ErrorMessage(error.code)).c_str(),
                   std::string(EnglishErrorMessage(error.code)).c_str());
    if (!error.detail.empty()) text += ": " + error.detail;
    text += ")\n";
    if (!error.statement.empty()) text += ShowStatement(error.statement, error.column);
  }
  for (const CheckWarning& warning : result.warnings) {
    text += Format("%s:%d: warning: %s\n", path.c_str(), warning.line, warning.message.c_str());
  }
  return text;
}

std::string DescribeCheckTotals(int files, int errors, int warnings) {
  return Plural(files, "file") + ", " + Plural(errors, "error") + ", " +
         Plural(warnings, "warning") + "\n";
}
