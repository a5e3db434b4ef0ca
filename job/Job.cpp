#include "job/Job.h"

std::string_view StatementAt(const Job& job, int line) {
  for (const SelectionGroup& group : job.selection) {
    if (group.line == line) return group.written;
  }
  for (const ChangeDefinition& definition : job.changes) {
    if (definition.line == line) return definition.written;
  }
  for (const EditDefinition& definition : job.edits) {
    if (definition.line == line) return definition.written;
  }
  for (const CsvDefinition& definition : job.csv) {
    if (definition.line == line) return definition.written;
  }
  return {};
}
