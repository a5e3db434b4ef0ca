#include "record/EditStep.h"

#include <algorithm>
#include <cstring>

#include "platform/Cp932.h"
#include "record/Constants.h"
#include "record/Field.h"
#include "record/Selection.h"
#include "value/Conversion.h"
#include "value/Justify.h"
#include "value/Numeric.h"

namespace {

// The work line's usual size: a line is built in 100,000 blanks.
constexpr size_t kWorkLine = 100000;

// Places `value` at `position` of the work line, growing the line when the
// field reaches past it: nothing the user asked for is cut, and a field
// starting beyond it still lands at its own position.
void Place(RecordContext& context, size_t position, std::string_view value) {
  const size_t end = position + value.size();
  if (end > context.work.size()) context.work.resize(end, ' ');
  if (!value.empty()) std::memcpy(context.work.data() + position, value.data(), value.size());
  context.workDirty = std::max(context.workDirty, end);
}

// The value of a definition: a view of its text or of the input field, or
// the constant's value in the context. False (error 20) for a field beyond
// the record.
bool TakeValue(const EditDefinition& definition, std::string_view record, bool lenient,
               RecordContext& context, std::string_view& value) {
  switch (definition.value.kind) {
    case Operand::Kind::kText: value = definition.value.text; return true;
    case Operand::Kind::kConstant:
      ConstantValue(definition.value.constant, context, context.constant);
      value = context.constant;
      return true;
    case Operand::Kind::kField: break;
  }
  if (!CutField(record, definition.value.field, lenient, value)) {
    context.error = ErrorCode::kFieldBeyondRecord;
    return false;
  }
  return true;
}

}  // namespace

void EditRecord(const Job& job, std::string_view record, RecordContext& context) {
  const bool lenient = job.options.Has(Option::kLenientFields);
  const bool checkNumbers = !job.options.Has(Option::kNoNumericCheck);

  // The work line is all blanks at the start of every record. Refilling all
  // of it per record would cost far more than most records, so only the
  // bytes the previous record wrote are blanked again, and a line that grew
  // for a far-reaching field is cut back to its usual size.
  std::string& work = context.work;
  if (work.size() < kWorkLine) {
    work.assign(kWorkLine, ' ');
  } else {
    std::memset(work.data(), ' ', std::min(context.workDirty, work.size()));
    work.resize(kWorkLine);
  }
  context.workDirty = 0;

  size_t furthestEnd = 0;  // output position + length of the furthest applied field
  for (const EditDefinition& definition : job.edits) {
    int failedTerm = -1;
    const bool applies = definition.condition.terms.empty() ||
                         EvaluateCondition(job, definition.condition, record, context, &failedTerm);
    if (context.trace != nullptr) context.trace->definitionFailedTerm.push_back(failedTerm);
    if (!applies) {
      if (context.error != ErrorCode::kNone) {
        context.errorLine = definition.line;
        return;
      }
      continue;
    }

    const size_t position = static_cast<size_t>(definition.output.position) - 1;
    const size_t length = static_cast<size_t>(definition.output.length);
    furthestEnd = std::max(furthestEnd, position + length);
    std::string_view value;
    if (!TakeValue(definition, record, lenient, context, value)) {
      context.errorLine = definition.line;
      return;
    }

    if (definition.plain) {
      // A text placed as it is: padding is blanks, so copying the value and
      // blanking the rest of the field is the whole edit.
      const size_t end = position + std::max(value.size(), length);
      if (end > work.size()) work.resize(end, ' ');
      if (!value.empty()) std::memcpy(work.data() + position, value.data(), value.size());
      if (value.size() < length) {
        std::memset(work.data() + position + value.size(), ' ', length - value.size());
      }
      context.workDirty = std::max(context.workDirty, end);
      if (value.size() > length) {  // still placed, then the record stops
        context.error = ErrorCode::kValueTooLong;
        context.errorLine = definition.line;
        return;
      }
      continue;
    }

    // A tested value written as a number goes through the test and the
    // format in one pass (type N is never justified).
    std::string& prepared = context.value;
    if (definition.form.tested && checkNumbers && definition.form.numeric) {
      if (!numeric::FormatIfNumeric(value, definition.form.format, prepared)) {
        context.error = ErrorCode::kNotNumeric;
        context.errorLine = definition.line;
        return;
      }
      PrepareOutput(definition.conversion, nullptr, definition.output.length, prepared,
                    context.scratch);
    } else {
      if (definition.form.tested && checkNumbers && !numeric::IsNumeric(value)) {
        context.error = ErrorCode::kNotNumeric;
        context.errorLine = definition.line;
        return;
      }
      prepared.assign(Justify(definition.form.justify, value));
      PrepareOutput(definition.conversion, definition.form.numeric ? &definition.form.format : nullptr,
                    definition.output.length, prepared, context.scratch);
    }

    Place(context, position, prepared);
    if (prepared.size() != length) {  // still placed, then the record stops
      context.error = ErrorCode::kValueTooLong;
      context.errorLine = definition.line;
      return;
    }
  }

  // The line ends with the last byte of the furthest field. Bytes beyond
  // that are blanks, so trimming the line itself is trimming the work line.
  std::string_view line(work.data(), std::min(work.size(), furthestEnd));
  if (job.options.Has(Option::kTrimTrailing)) line = cp932::TrimRight(line);
  context.out.append(line);
  context.out.push_back('\n');
}
