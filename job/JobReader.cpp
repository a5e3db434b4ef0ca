// The statement reader: cleans each line, splits keyword and value and hands
// the value to the parser of its keyword.
#include "job/JobReader.h"

#include "job/ConditionSyntax.h"
#include "job/DefinitionSyntax.h"
#include "job/StatementText.h"
#include "platform/Cp932.h"

namespace {

bool DecodeProcessingType(std::string_view value, ProcessingType& type) {
  static constexpr std::pair<std::string_view, ProcessingType> kTypes[] = {
      {"COPY", ProcessingType::kCopy}, {"CHANGE", ProcessingType::kChange},
      {"EDIT", ProcessingType::kEdit}, {"CSV", ProcessingType::kCsv}};
  return LookUpWord(value, kTypes, type);
}

// Parses a statement into a new value that carries its line and its text,
// and appends it to `list` only when it succeeded: a failed statement leaves
// the job as it was.
template <typename Value, typename Parse>
ErrorCode Append(std::vector<Value>& list, int line, std::string_view written, StatementText& text,
                 Parse parse) {
  Value value;
  value.line = line;
  value.written.assign(written);
  const ErrorCode error = parse(text, value);
  if (error == ErrorCode::kNone) list.push_back(std::move(value));
  return error;
}

size_t DefinitionCount(const Job& job) {
  switch (job.type) {
    case ProcessingType::kChange: return job.changes.size();
    case ProcessingType::kEdit: return job.edits.size();
    case ProcessingType::kCsv: return job.csv.size();
    case ProcessingType::kCopy: break;
  }
  return 0;
}

}  // namespace

bool NamesFolder(std::string_view output) {
  if (output.empty()) return false;
  size_t i = 0;
  size_t last = 0;
  while (i < output.size()) {
    last = i;
    i += cp932::CharLen(output, i);
  }
  if (i - last != 1) return false;  // ends in a double-byte character
  return output[last] == '/' || output[last] == '\\';
}

StatementError JobReader::ReadLine(std::string_view line) {
  StatementError result;
  result.line = ++lines_;

  // The line is taken as a NUL-terminated text: bytes after a NUL are not seen.
  const size_t nul = line.find('\0');
  if (nul != std::string_view::npos) line = line.substr(0, nul);
  line = cp932::TrimRight(line);  // the line feed goes with the white space
  if (line.empty() || line[0] == ';') return result;  // blank, or a comment (column 1 only)
  const size_t start = line.size() - cp932::TrimLeft(line).size();

  // Keyword: before the first "=", trimmed and upper-cased; empty without "=".
  std::string key;
  size_t valueStart = start;
  const size_t eq = cp932::FindChar(line.substr(start), '=');
  if (eq != std::string_view::npos) {
    key = cp932::Upper(cp932::TrimRight(line.substr(start, eq)));
    valueStart = start + eq + 1;
    valueStart = line.size() - cp932::TrimLeft(line.substr(valueStart)).size();
  }

  size_t column = valueStart;
  result.code = ReadStatement(key, line, valueStart, column);
  if (!result.ok()) {
    result.column = column;
    result.statement.assign(line);
  }
  return result;
}

ErrorCode JobReader::ReadStatement(std::string_view key, std::string_view line, size_t valueStart,
                                   size_t& column) {
  struct Keyword {
    StatementReader read;
    Conversion conversion;
  };
  static constexpr std::pair<std::string_view, Keyword> kKeywords[] = {
      {"INP", {&JobReader::ReadFileSetting, Conversion::kNone}},
      {"OUT", {&JobReader::ReadFileSetting, Conversion::kNone}},
      {"ADD", {&JobReader::ReadFileSetting, Conversion::kNone}},
      {"SEL", {&JobReader::ReadSelection, Conversion::kNone}},
      {"OPT", {&JobReader::ReadOptions, Conversion::kNone}},
      {"FUNCTION", {&JobReader::ReadFunction, Conversion::kNone}},
      {"EDT", {&JobReader::ReadDefinition, Conversion::kNone}},
      {"UPP", {&JobReader::ReadDefinition, Conversion::kUpper}},
      {"LOW", {&JobReader::ReadDefinition, Conversion::kLower}},
      {"NAR", {&JobReader::ReadDefinition, Conversion::kNarrow}},
      {"WID", {&JobReader::ReadDefinition, Conversion::kWide}},
  };
  Keyword keyword{};
  if (!LookUpWord(key, kKeywords, keyword)) {
    column = line.size() - cp932::TrimLeft(line).size();  // the keyword
    return ErrorCode::kBadStatement;
  }
  return (this->*keyword.read)(Statement{key, line, valueStart, keyword.conversion}, column);
}

// INP, OUT and ADD: each setting at most once, never empty.
ErrorCode JobReader::ReadFileSetting(const Statement& statement, size_t&) {
  const bool input = statement.key == "INP";
  std::string& setting = input ? job_.inputPattern : job_.outputPath;
  if (!setting.empty()) return ErrorCode::kFileSetTwice;
  if (statement.Value().empty()) return ErrorCode::kBadParameter;
  setting.assign(statement.Value());
  if (input) {
    job_.inputLine = lines_;
  } else {
    job_.outputLine = lines_;
    job_.append = statement.key == "ADD";
  }
  return ErrorCode::kNone;
}

ErrorCode JobReader::ReadSelection(const Statement& statement, size_t& column) {
  if (job_.selection.size() >= static_cast<size_t>(kMaxGroups)) return ErrorCode::kTooManyGroups;
  StatementText text(statement.line, statement.valueStart);
  const ErrorCode error =
      Append(job_.selection, lines_, statement.line, text, [](StatementText& t, SelectionGroup& g) {
        return ParseCondition(t, ErrorCode::kTooManyTerms, g.condition);
      });
  column = text.MarkedOffset();
  return error;
}

// Each option is on when its letter appears anywhere after the "-" (found
// character by character, so the second byte of "ゴ", 0x83 0x53, never turns
// on S); a later OPT replaces an earlier one.
ErrorCode JobReader::ReadOptions(const Statement& statement, size_t&) {
  const std::string_view value = statement.Value();
  if (value.empty() || value[0] != '-') return ErrorCode::kBadParameter;
  const std::string letters = cp932::Upper(value.substr(1));
  static constexpr struct {
    char letter;
    Option option;
  } kLetters[] = {{'S', Option::kLenientFields},
                  {'U', Option::kIgnoreCase},
                  {'T', Option::kTrimTrailing},
                  {'H', Option::kCsvHeader},
                  {'N', Option::kNoNumericCheck}};
  OptionSet options;
  for (const auto& entry : kLetters) {
    if (cp932::FindChar(letters, entry.letter) != std::string::npos) options.Add(entry.option);
  }
  job_.options = options;
  return ErrorCode::kNone;
}

// At most once, even when repeating the first value: the type decides how
// every later edit statement is read, so it must not change (or seem to
// change) in the middle of the file.
ErrorCode JobReader::ReadFunction(const Statement& statement, size_t&) {
  ProcessingType type;
  if (!DecodeProcessingType(cp932::Upper(statement.Value()), type) || typeSet_) {
    return ErrorCode::kBadStatement;
  }
  job_.type = type;
  typeSet_ = true;
  return ErrorCode::kNone;
}

// An edit statement: the processing type in force at this line decides who
// reads it.
ErrorCode JobReader::ReadDefinition(const Statement& statement, size_t& column) {
  if (!typeSet_) return ErrorCode::kBadStatement;
  if (job_.type == ProcessingType::kCopy) return ErrorCode::kEditNotAllowed;
  // CHANGE converts nothing: only EDT means something there.
  const Conversion conversion = statement.conversion;
  if (job_.type == ProcessingType::kChange && conversion != Conversion::kNone) {
    return ErrorCode::kBadEditType;
  }
  if (DefinitionCount(job_) >= static_cast<size_t>(kMaxDefinitions)) {
    return ErrorCode::kTooManyDefinitions;
  }
  StatementText text(statement.line, statement.valueStart);
  const std::string_view line = statement.line;
  ErrorCode error = ErrorCode::kNone;
  switch (job_.type) {
    case ProcessingType::kChange:
      error = Append(job_.changes, lines_, line, text, ParseChangeDefinition);
      break;
    case ProcessingType::kEdit:
      error = Append(job_.edits, lines_, line, text, [conversion](StatementText& t, EditDefinition& d) {
        return ParseEditDefinition(conversion, t, d);
      });
      break;
    case ProcessingType::kCsv:
      error = Append(job_.csv, lines_, line, text, [conversion](StatementText& t, CsvDefinition& d) {
        return ParseCsvDefinition(conversion, t, d);
      });
      break;
    case ProcessingType::kCopy: break;
  }
  column = text.MarkedOffset();
  return error;
}

StatementError JobReader::Finish() {
  StatementError result;
  result.line = lines_;
  job_.folderMode = !job_.standardOutput && NamesFolder(job_.outputPath);
  if (job_.inputPattern.empty() || job_.outputPath.empty()) {
    result.code = ErrorCode::kBadFileSettings;
    result.detail = job_.inputPattern.empty() ? "there is no INP statement"
                                              : "there is no OUT or ADD statement";
    return result;
  }
  // Standard input and output are never the same as a file.
  if (cp932::Upper(job_.inputPattern) == cp932::Upper(job_.outputPath) && !job_.standardInput &&
      !job_.standardOutput) {
    result.code = ErrorCode::kBadFileSettings;
    result.detail = "INP and OUT/ADD name the same file";
  }
  return result;
}
