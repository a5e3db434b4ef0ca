#include "record/CsvStep.h"

#include "record/DefinitionValue.h"

namespace {

// The header names, tab-separated, and a line feed; their length is noted
// for the caller.
void AppendHeader(const Job& job, RecordContext& context) {
  const size_t start = context.out.size();
  for (size_t i = 0; i < job.csv.size(); ++i) {
    if (i > 0) context.out.push_back('\t');
    std::string_view name;  // a text or a constant: always there
    OperandValue(job.csv[i].header, {}, false, job.csv[i].line, context, context.constant, name);
    context.out.append(name);
  }
  context.out.push_back('\n');
  context.headerLength = context.out.size() - start;
}

}  // namespace

void CsvRecord(const Job& job, std::string_view record, RecordContext& context) {
  // The output count restarts for every input file, so the header goes out
  // just before the first output line of each input file.
  if (context.outCount == 1 && job.options.Has(Option::kCsvHeader)) AppendHeader(job, context);

  const bool lenient = job.options.Has(Option::kLenientFields);
  const bool checkNumbers = !job.options.Has(Option::kNoNumericCheck);
  std::string& line = context.result;
  line.clear();
  for (size_t i = 0; i < job.csv.size(); ++i) {
    const CsvDefinition& definition = job.csv[i];
    if (context.trace != nullptr) NoteDefinition(definition.line, definition.value, *context.trace);
    std::string_view value;
    if (!OperandValue(definition.value, record, lenient, definition.line, context,
                      context.constant, value) ||
        !PrepareValue(value, definition.conversion, definition.form, 0, checkNumbers,
                      definition.line, context)) {
      return;
    }
    if (context.trace != nullptr) context.trace->definitions.back().value = context.value;
    if (i > 0) line.push_back('\t');
    line.append(context.value);
  }
  context.out.append(line);
  context.out.push_back('\n');
}
