#include "record/EditStep.h"

#include <algorithm>
#include <cstring>

#include "platform/Cp932.h"
#include "record/DefinitionValue.h"
#include "record/Selection.h"

namespace {

// The work line's usual size: a line is built in 100,000 blanks.
constexpr size_t kWorkLine = 100000;

// The work line is all blanks at the start of every record. Refilling all of
// it per record would cost far more than most records, so only the bytes
// the previous record wrote are blanked again, and a line that grew for a
// far-reaching field is cut back to its usual size.
void ResetWorkLine(RecordContext& context) {
  std::string& work = context.work;
  if (work.size() < kWorkLine) {
    work.assign(kWorkLine, ' ');
  } else {
    std::memset(work.data(), ' ', std::min(context.workDirty, work.size()));
    work.resize(kWorkLine);
  }
  context.workDirty = 0;
}

// Places `value` at `position` of the work line and blanks the rest of the
// field up to `length`, growing the line when the field reaches past it:
// nothing the user asked for is cut, and a field starting beyond it still
// lands at its own position.
void Place(RecordContext& context, size_t position, size_t length, std::string_view value) {
  std::string& work = context.work;
  const size_t end = position + std::max(value.size(), length);
  if (end > work.size()) work.resize(end, ' ');
  if (!value.empty()) std::memcpy(work.data() + position, value.data(), value.size());
  if (value.size() < length) {
    std::memset(work.data() + position + value.size(), ' ', length - value.size());
  }
  context.workDirty = std::max(context.workDirty, end);
}

// Applies one definition to the work line, extending `furthestEnd` when it
// applies. False when the record stops: an error in its condition or value,
// or a value that is not exactly its field's length (21, after it is placed).
bool ApplyDefinition(const Job& job, const EditDefinition& definition, std::string_view record,
                     RecordContext& context, size_t& furthestEnd) {
  if (!DefinitionApplies(job, definition.condition, definition.line, record, context)) {
    return context.error == ErrorCode::kNone;
  }
  if (context.trace != nullptr) NoteDefinition(definition.line, definition.value, *context.trace);
  const size_t position = static_cast<size_t>(definition.output.position) - 1;
  const size_t length = static_cast<size_t>(definition.output.length);
  furthestEnd = std::max(furthestEnd, position + length);
  std::string_view value;
  if (!OperandValue(definition.value, record, job.options.Has(Option::kLenientFields),
                    definition.line, context, context.constant, value)) {
    return false;
  }
  // A text placed as it is: padding is blanks, so placing the value in its
  // blanked field is the whole edit.
  if (!definition.plain) {
    if (!PrepareValue(value, definition.conversion, definition.form, definition.output.length,
                      !job.options.Has(Option::kNoNumericCheck), definition.line, context)) {
      return false;
    }
    value = context.value;
  }
  Place(context, position, length, value);
  if (context.trace != nullptr) {
    context.trace->definitions.back().output = ByteRange{position, std::max(value.size(), length)};
  }
  if (value.size() == length || (definition.plain && value.size() < length)) return true;
  return context.Fail(ErrorCode::kValueTooLong, definition.line);
}

}  // namespace

void EditRecord(const Job& job, std::string_view record, RecordContext& context) {
  ResetWorkLine(context);
  size_t furthestEnd = 0;  // output position + length of the furthest applied field
  for (const EditDefinition& definition : job.edits) {
    if (!ApplyDefinition(job, definition, record, context, furthestEnd)) return;
  }
  // The line ends with the last byte of the furthest field. Bytes beyond
  // that are blanks, so trimming the line itself is trimming the work line.
  const std::string& work = context.work;
  std::string_view line(work.data(), std::min(work.size(), furthestEnd));
  if (job.options.Has(Option::kTrimTrailing)) line = cp932::TrimRight(line);
  context.out.append(line);
  context.out.push_back('\n');
}
