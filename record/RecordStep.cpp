#include "record/RecordStep.h"

#include "record/ChangeStep.h"
#include "record/CsvStep.h"
#include "record/EditStep.h"

Selection ProcessRecord(const Job& job, std::string_view record, RecordContext& context) {
  ++context.inCount;
  const Selection selection = SelectRecord(job, record, context);
  if (!selection.selected) return selection;
  ++context.outCount;
  switch (job.type) {
    case ProcessingType::kCopy:
      context.out.append(record);
      context.out.push_back('\n');
      break;
    case ProcessingType::kChange: ChangeRecord(job, record, context); break;
    case ProcessingType::kEdit: EditRecord(job, record, context); break;
    case ProcessingType::kCsv: CsvRecord(job, record, context); break;
  }
  return selection;
}
