#include "record/ChangeStep.h"

#include <utility>

#include "platform/Cp932.h"
#include "record/Constants.h"
#include "record/Selection.h"

namespace {

// The operand's text: its quoted text, or its constant's value in `buffer`.
std::string_view OperandText(const Operand& operand, RecordContext& context, std::string& buffer) {
  if (operand.kind != Operand::Kind::kConstant) return operand.text;
  ConstantValue(operand.constant, context, buffer);
  return buffer;
}

}  // namespace

void ChangeRecord(const Job& job, std::string_view record, RecordContext& context) {
  const bool ignoreCase = job.options.Has(Option::kIgnoreCase);
  std::string& line = context.line;
  line.assign(record);

  for (const ChangeDefinition& definition : job.changes) {
    int failedTerm = -1;
    const bool applies = EvaluateCondition(job, definition.condition, line, context, &failedTerm);
    if (context.trace != nullptr) context.trace->definitionFailedTerm.push_back(failedTerm);
    if (context.error != ErrorCode::kNone) {
      context.errorLine = definition.line;
      return;
    }
    if (!applies) continue;

    const std::string_view search = OperandText(definition.search, context, context.constant);
    // An empty search text would match before every character and never let
    // the replacement loop advance: it changes nothing.
    if (search.empty()) continue;
    const std::string_view replacement =
        OperandText(definition.replacement, context, context.constant2);

    // Matches are found in `haystack`; the output bytes always come from the
    // line itself, so a case-blind search keeps the record's own letters.
    // Upper-casing keeps every byte length and every lead byte, so offsets
    // in the copy are offsets in the line.
    std::string_view haystack = line;
    std::string_view needle = search;
    if (ignoreCase) {
      cp932::UpperInto(line, context.upperRecord);
      cp932::UpperInto(search, context.upperSearch);
      haystack = context.upperRecord;
      needle = context.upperSearch;
    }

    std::string& result = context.result;
    result.clear();
    size_t done = 0;  // bytes of the line already moved to the result
    bool changed = false;
    bool tooLong = false;
    while (done < haystack.size()) {
      // The rest after a match is searched as a text of its own, so a search
      // text that ends in a lone lead byte cannot shift the character grid.
      const size_t k = cp932::FindAligned(haystack.substr(done), needle);
      if (k == std::string_view::npos) break;
      if (result.size() + k + replacement.size() > kMaxChangedLine) {
        tooLong = true;
        break;
      }
      result.append(line, done, k);
      result.append(replacement);
      done += k + needle.size();
      changed = true;
    }
    if (tooLong || result.size() + (line.size() - done) > kMaxChangedLine) {
      context.error = ErrorCode::kValueTooLong;
      context.errorLine = definition.line;
      return;
    }
    if (!changed) continue;
    result.append(line, done, std::string::npos);
    std::swap(line, result);
  }

  std::string_view written = line;
  if (job.options.Has(Option::kTrimTrailing)) written = cp932::TrimRight(written);
  context.out.append(written);
  context.out.push_back('\n');
}
