// The value of an edit definition for one record: fetched (its quoted text,
// its constant's value or its field of the record) and made ready for output
// (tested, written as a number or justified, converted, padded). The one
// way EDIT, CSV and CHANGE take values; nothing allocates once the context's
// buffers have grown.
#pragma once

#include <string>
#include <string_view>

#include "job/Job.h"
#include "record/Constants.h"
#include "record/Field.h"
#include "record/RecordContext.h"
#include "value/Conversion.h"
#include "value/Justify.h"
#include "value/Numeric.h"

// The value of `operand` for the current record: a view of its quoted text,
// its constant's value written into `buffer`, or a view of its field of
// `record` (under option S, `lenient`, the part within the record). False
// for a field beyond the record: the record stops with 20 at `line`.
inline bool OperandValue(const Operand& operand, std::string_view record, bool lenient, int line,
                         RecordContext& context, std::string& buffer, std::string_view& value) {
  switch (operand.kind) {
    case Operand::Kind::kText: value = operand.text; return true;
    case Operand::Kind::kConstant:
      ConstantValue(operand.constant, context, buffer);
      value = buffer;
      return true;
    case Operand::Kind::kField: break;
  }
  if (CutField(record, operand.field, lenient, value)) return true;
  return context.Fail(ErrorCode::kFieldBeyondRecord, line);
}

// A trace of the definition on parameter-file line `line` being applied:
// the field of the record its value reads, if it reads one.
inline void NoteDefinition(int line, const Operand& value, RecordTrace& trace) {
  RecordTrace::DefinitionUse& use = trace.definitions.emplace_back();
  use.line = line;
  use.readsField = value.kind == Operand::Kind::kField;
  if (use.readsField) use.input = RangeOf(value.field);
}

// Makes `value` ready for output in context.value, by `form`: a tested value
// must pass the numeric test unless `checkNumbers` is off (else the record
// stops with 26 at `line` and false is returned); a numeric one is written
// by its format, any other justified; then PrepareOutput converts it by
// `conversion` and pads it to `length` (0: no padding).
// Inline, as OperandValue: both run for every value of every record.
inline bool PrepareValue(std::string_view value, Conversion conversion, const ValueForm& form,
                         int length, bool checkNumbers, int line, RecordContext& context) {
  std::string& prepared = context.value;
  const bool test = form.tested && checkNumbers;
  // A tested value written as a number goes through the test and the format
  // in one pass (a number is never justified).
  if (test && form.numeric) {
    if (!numeric::FormatIfNumeric(value, form.format, prepared)) {
      return context.Fail(ErrorCode::kNotNumeric, line);
    }
    PrepareOutput(conversion, nullptr, length, prepared, context.scratch);
    return true;
  }
  if (test && !numeric::IsNumeric(value)) return context.Fail(ErrorCode::kNotNumeric, line);
  prepared.assign(Justify(form.justify, value));
  PrepareOutput(conversion, form.numeric ? &form.format : nullptr, length, prepared,
                context.scratch);
  return true;
}
