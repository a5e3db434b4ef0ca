// Evaluation of conditions against a record: one term, one AND list, and
// the selection test over the SEL groups (OR), each with short-circuit.
// Errors (20 a field beyond the record, 26 a value that is not a number) go
// into the context; a term that fails is false. Nothing here allocates once
// the context's buffers have grown.
#pragma once

#include <string_view>

#include "job/Job.h"
#include "record/RecordContext.h"

// Which SEL group held for a record.
struct Selection {
  bool selected = false;
  int group = -1;  // index of the group that held; -1 when none did or there is no SEL
};

// Selects the record by the job's SEL groups (every record when there are
// none). On an error the record is not selected and the context names the
// failing group's line.
Selection SelectRecord(const Job& job, std::string_view record, RecordContext& context);

// An AND list: true when every term holds (an empty list holds). Terms after
// the first false one are not looked at, so they raise no error. With
// `failedTerm`, the index of the term that did not hold is stored there (-1
// when the list holds).
bool EvaluateCondition(const Job& job, const Condition& condition, std::string_view record,
                       RecordContext& context, int* failedTerm = nullptr);

// DefinitionApplies for a definition with a condition, or while tracing.
bool EvaluateDefinitionCondition(const Job& job, const Condition& condition, int line,
                                 std::string_view record, RecordContext& context);

// The "@" condition of the edit definition on parameter-file line `line`:
// true when it holds (an empty one always does). Notes the first failed
// term in the context's trace; on an error (20, 26) the record stops at
// `line` and false is returned.
inline bool DefinitionApplies(const Job& job, const Condition& condition, int line,
                              std::string_view record, RecordContext& context) {
  // Most definitions have no condition: nothing to evaluate or note.
  if (condition.terms.empty() && context.trace == nullptr) return true;
  return EvaluateDefinitionCondition(job, condition, line, record, context);
}

// One term.
bool EvaluateTerm(const Job& job, const Term& term, std::string_view record,
                  RecordContext& context);
