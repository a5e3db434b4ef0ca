#include "job/Job.h"

#include "platform/Cp932Unicode.h"

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

std::string_view KeywordOf(Conversion conversion) {
  switch (conversion) {
    case Conversion::kNone: return "EDT";
    case Conversion::kUpper: return "UPP";
    case Conversion::kLower: return "LOW";
    case Conversion::kNarrow: return "NAR";
    case Conversion::kWide: return "WID";
  }
  return "EDT";
}

namespace {

bool ConditionUses(const Condition& condition, Constant constant) {
  for (const Term& term : condition.terms) {
    if ((term.kind == TermKind::kSearchConstant || term.kind == TermKind::kCompareConstant) &&
        term.constant == constant) {
      return true;
    }
  }
  return false;
}

bool OperandUses(const Operand& operand, Constant constant) {
  return operand.kind == Operand::Kind::kConstant && operand.constant == constant;
}

}  // namespace

bool UsesConstant(const Job& job, Constant constant) {
  for (const SelectionGroup& group : job.selection) {
    if (ConditionUses(group.condition, constant)) return true;
  }
  for (const ChangeDefinition& definition : job.changes) {
    if (ConditionUses(definition.condition, constant) || OperandUses(definition.search, constant) ||
        OperandUses(definition.replacement, constant)) {
      return true;
    }
  }
  for (const EditDefinition& definition : job.edits) {
    if (ConditionUses(definition.condition, constant) || OperandUses(definition.value, constant)) {
      return true;
    }
  }
  for (const CsvDefinition& definition : job.csv) {
    if (OperandUses(definition.value, constant) || OperandUses(definition.header, constant)) {
      return true;
    }
  }
  return false;
}

namespace {

void CanonicalizeCondition(Condition& condition) {
  for (Term& term : condition.terms) cp932::Canonicalize(term.text);
}

}  // namespace

void CanonicalizeTexts(Job& job) {
  for (SelectionGroup& group : job.selection) CanonicalizeCondition(group.condition);
  for (ChangeDefinition& definition : job.changes) {
    CanonicalizeCondition(definition.condition);
    cp932::Canonicalize(definition.search.text);
    cp932::Canonicalize(definition.replacement.text);
  }
  for (EditDefinition& definition : job.edits) {
    CanonicalizeCondition(definition.condition);
    cp932::Canonicalize(definition.value.text);
  }
  for (CsvDefinition& definition : job.csv) {
    cp932::Canonicalize(definition.value.text);
    cp932::Canonicalize(definition.header.text);
  }
}
