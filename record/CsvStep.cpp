#include "record/CsvStep.h"

#include "record/Constants.h"
#include "record/Field.h"
#include "value/Conversion.h"
#include "value/Justify.h"
#include "value/Numeric.h"

void CsvRecord(const Job& job, std::string_view record, RecordContext& context) {
  // The output count restarts for every input file, so the header goes out
  // just before the first output line of each input file.
  if (context.outCount == 1 && job.options.Has(Option::kCsvHeader)) {
    const size_t start = context.out.size();
    for (size_t i = 0; i < job.csv.size(); ++i) {
      const Operand& header = job.csv[i].header;
      if (i > 0) context.out.push_back('\t');
      if (header.kind == Operand::Kind::kConstant) {
        ConstantValue(header.constant, context, context.constant);
        context.out.append(context.constant);
      } else {
        context.out.append(header.text);
      }
    }
    context.out.push_back('\n');
    context.headerLength = context.out.size() - start;
  }

  const bool lenient = job.options.Has(Option::kLenientFields);
  const bool checkNumbers = !job.options.Has(Option::kNoNumericCheck);
  std::string& line = context.result;
  line.clear();
  for (size_t i = 0; i < job.csv.size(); ++i) {
    const CsvDefinition& definition = job.csv[i];

    std::string_view value;
    switch (definition.value.kind) {
      case Operand::Kind::kText: value = definition.value.text; break;
      case Operand::Kind::kConstant:
        ConstantValue(definition.value.constant, context, context.constant);
        value = context.constant;
        break;
      case Operand::Kind::kField:
        if (!CutField(record, definition.value.field, lenient, value)) {
          context.error = ErrorCode::kFieldBeyondRecord;
          context.errorLine = definition.line;
          return;
        }
        break;
    }

    // Numeric values are never justified: a tested value goes through the
    // numeric test and the number format in one pass.
    std::string& prepared = context.value;
    if (definition.form.numeric && checkNumbers) {
      if (!numeric::FormatIfNumeric(value, definition.form.format, prepared)) {
        context.error = ErrorCode::kNotNumeric;
        context.errorLine = definition.line;
        return;
      }
      PrepareOutput(definition.conversion, nullptr, 0, prepared, context.scratch);
    } else {
      prepared.assign(Justify(definition.form.justify, value));
      PrepareOutput(definition.conversion, definition.form.numeric ? &definition.form.format : nullptr, 0,
                    prepared, context.scratch);
    }
    if (i > 0) line.push_back('\t');
    line.append(prepared);
  }
  context.out.append(line);
  context.out.push_back('\n');
}
