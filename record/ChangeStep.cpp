#include "record/ChangeStep.h"

#include <utility>

#include "platform/Cp932.h"
#include "record/DefinitionValue.h"
#include "record/Selection.h"

namespace {

// Replaces every `search` in context.line by `replacement`, left to right,
// never overlapping; under option U (`ignoreCase`) matches are found
// case-blind. False when the line would grow past kMaxChangedLine: the record
// stops with 21 at `line`.
bool ReplaceAll(std::string_view search, std::string_view replacement, bool ignoreCase, int line,
                RecordContext& context) {
  const std::string& text = context.line;
  // Matches are found in `haystack`; the output bytes always come from the
  // line itself, so a case-blind search keeps the record's own letters.
  // Upper-casing keeps every byte length and every lead byte, so offsets
  // in the copy are offsets in the line.
  std::string_view haystack = text;
  std::string_view needle = search;
  if (ignoreCase) {
    cp932::UpperInto(text, context.upperRecord);
    cp932::UpperInto(search, context.upperSearch);
    haystack = context.upperRecord;
    needle = context.upperSearch;
  }
  std::string& result = context.result;
  result.clear();
  size_t done = 0;  // bytes of the line already moved to the result
  bool changed = false;
  while (done < haystack.size()) {
    // The rest after a match is searched as a text of its own, so a search
    // text that ends in a lone lead byte cannot shift the character grid.
    const size_t k = cp932::FindAligned(haystack.substr(done), needle);
    if (k == std::string_view::npos) break;
    if (result.size() + k + replacement.size() > kMaxChangedLine) {
      return context.Fail(ErrorCode::kValueTooLong, line);
    }
    result.append(text, done, k);
    if (context.trace != nullptr) {
      context.trace->replacements.push_back(
          {line, ByteRange{result.size(), replacement.size()}, needle.size()});
    }
    result.append(replacement);
    done += k + needle.size();
    changed = true;
  }
  if (result.size() + (text.size() - done) > kMaxChangedLine) {
    return context.Fail(ErrorCode::kValueTooLong, line);
  }
  if (changed) {
    result.append(text, done, std::string::npos);
    std::swap(context.line, result);
  }
  return true;
}

}  // namespace

void ChangeRecord(const Job& job, std::string_view record, RecordContext& context) {
  const bool ignoreCase = job.options.Has(Option::kIgnoreCase);
  context.line.assign(record);
  for (const ChangeDefinition& definition : job.changes) {
    if (!DefinitionApplies(job, definition.condition, definition.line, context.line, context)) {
      if (context.error != ErrorCode::kNone) return;
      continue;
    }
    std::string_view search;  // a text or a constant: always there
    OperandValue(definition.search, {}, false, definition.line, context, context.constant, search);
    // An empty search text would match before every character and never let
    // the replacement loop advance: it changes nothing.
    if (search.empty()) continue;
    std::string_view replacement;
    OperandValue(definition.replacement, {}, false, definition.line, context, context.constant2,
                 replacement);
    if (!ReplaceAll(search, replacement, ignoreCase, definition.line, context)) return;
  }

  std::string_view written = context.line;
  if (job.options.Has(Option::kTrimTrailing)) written = cp932::TrimRight(written);
  context.out.append(written);
  context.out.push_back('\n');
}
