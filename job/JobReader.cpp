// The statement reader: cleans each line, splits keyword and value and hands
// the value to the parser of its keyword.
#include "job/JobReader.h"

#include "job/ConditionSyntax.h"
#include "job/DefinitionSyntax.h"
#include "job/StatementText.h"
#include "platform/Cp932.h"

namespace {

bool DecodeKeyword(std::string_view key, Conversion& conversion) {
  static constexpr std::pair<std::string_view, Conversion> kKeywords[] = {
      {"EDT", Conversion::kNone}, {"UPP", Conversion::kUpper}, {"LOW", Conversion::kLower},
      {"NAR", Conversion::kNarrow}, {"WID", Conversion::kWide}};
  return LookUpWord(key, kKeywords, conversion);
}

bool DecodeProcessingType(std::string_view value, ProcessingType& type) {
  static constexpr std::pair<std::string_view, ProcessingType> kTypes[] = {
      {"COPY", ProcessingType::kCopy}, {"CHANGE", ProcessingType::kChange},
      {"EDIT", ProcessingType::kEdit}, {"CSV", ProcessingType::kCsv}};
  return LookUpWord(value, kTypes, type);
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
    key.assign(cp932::TrimRight(line.substr(start, eq)));
    cp932::UpperInPlace(key);
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
  const std::string_view value = line.substr(valueStart);

  if (key == "INP" || key == "OUT" || key == "ADD") {
    const bool input = key == "INP";
    std::string& setting = input ? job_.inputPattern : job_.outputPath;
    if (!setting.empty()) return ErrorCode::kFileSetTwice;
    if (value.empty()) return ErrorCode::kBadParameter;
    setting.assign(value);
    if (input) {
      job_.inputLine = lines_;
    } else {
      job_.outputLine = lines_;
      job_.append = key == "ADD";
    }
    return ErrorCode::kNone;
  }

  if (key == "SEL") {
    if (job_.selection.size() >= static_cast<size_t>(kMaxGroups)) return ErrorCode::kTooManyGroups;
    StatementText text(line, valueStart);
    SelectionGroup group;
    group.line = lines_;
    group.written.assign(line);
    const ErrorCode error = ParseCondition(text, ErrorCode::kTooManyTerms, group.condition);
    column = text.MarkedOffset();
    if (error == ErrorCode::kNone) job_.selection.push_back(std::move(group));
    return error;
  }

  if (key == "OPT") {
    // Each option is on when its letter appears anywhere after the "-"
    // (found character by character, so the second byte of "ゴ", 0x83 0x53,
    // never turns on S); a later OPT replaces an earlier one.
    if (value.empty() || value[0] != '-') return ErrorCode::kBadParameter;
    std::string letters(value.substr(1));
    cp932::UpperInPlace(letters);
    OptionSet options;
    static constexpr struct {
      char letter;
      Option option;
    } kLetters[] = {{'S', Option::kLenientFields},
                    {'U', Option::kIgnoreCase},
                    {'T', Option::kTrimTrailing},
                    {'H', Option::kCsvHeader},
                    {'N', Option::kNoNumericCheck}};
    for (const auto& entry : kLetters) {
      if (cp932::FindChar(letters, entry.letter) != std::string::npos) options.Add(entry.option);
    }
    job_.options = options;
    return ErrorCode::kNone;
  }

  Conversion conversion;
  if (DecodeKeyword(key, conversion)) {
    // The processing type in force at this line decides who reads it.
    if (!typeSet_) return ErrorCode::kBadStatement;
    if (job_.type == ProcessingType::kCopy) return ErrorCode::kEditNotAllowed;
    // CHANGE converts nothing: only EDT means something there.
    if (job_.type == ProcessingType::kChange && conversion != Conversion::kNone) {
      return ErrorCode::kBadEditType;
    }
    if (DefinitionCount(job_) >= static_cast<size_t>(kMaxDefinitions)) {
      return ErrorCode::kTooManyDefinitions;
    }
    StatementText text(line, valueStart);
    ErrorCode error = ErrorCode::kNone;
    const int lineNumber = lines_;
    switch (job_.type) {
      case ProcessingType::kChange: {
        ChangeDefinition definition;
        definition.line = lineNumber;
        definition.written.assign(line);
        error = ParseChangeDefinition(text, definition);
        if (error == ErrorCode::kNone) job_.changes.push_back(std::move(definition));
        break;
      }
      case ProcessingType::kEdit: {
        EditDefinition definition;
        definition.line = lineNumber;
        definition.written.assign(line);
        error = ParseEditDefinition(conversion, text, definition);
        if (error == ErrorCode::kNone) job_.edits.push_back(std::move(definition));
        break;
      }
      case ProcessingType::kCsv: {
        CsvDefinition definition;
        definition.line = lineNumber;
        definition.written.assign(line);
        error = ParseCsvDefinition(conversion, text, definition);
        if (error == ErrorCode::kNone) job_.csv.push_back(std::move(definition));
        break;
      }
      case ProcessingType::kCopy: break;
    }
    column = text.MarkedOffset();
    return error;
  }

  if (key == "FUNCTION") {
    // At most once, even when repeating the first value: the type decides
    // how every later edit statement is read, so it must not change (or
    // seem to change) in the middle of the file.
    std::string upper(value);
    cp932::UpperInPlace(upper);
    ProcessingType type;
    if (!DecodeProcessingType(upper, type) || typeSet_) return ErrorCode::kBadStatement;
    job_.type = type;
    typeSet_ = true;
    return ErrorCode::kNone;
  }

  column = line.size() - cp932::TrimLeft(line).size();  // the keyword
  return ErrorCode::kBadStatement;
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
  std::string input = job_.inputPattern;
  std::string output = job_.outputPath;
  cp932::UpperInPlace(input);
  cp932::UpperInPlace(output);
  // Standard input and output are never the same as a file.
  if (input == output && !job_.standardInput && !job_.standardOutput) {
    result.code = ErrorCode::kBadFileSettings;
    result.detail = "INP and OUT/ADD name the same file";
  }
  return result;
}
