// Condition evaluation. Fields are views into the record, justification
// trims views, constants are written into the context's buffers and option
// U upper-cases into them; terms are read through references, never copied.
#include "record/Selection.h"

#include "platform/Cp932.h"
#include "record/Constants.h"
#include "record/Field.h"
#include "value/Numeric.h"

namespace {

bool HoldsForOrder(CompareOp op, int order) {
  switch (op) {
    case CompareOp::kEq: return order == 0;
    case CompareOp::kNe: return order != 0;
    case CompareOp::kLt: return order < 0;
    case CompareOp::kLe: return order <= 0;
    case CompareOp::kGt: return order > 0;
    case CompareOp::kGe: return order >= 0;
    case CompareOp::kContains: break;
  }
  return false;
}

bool HoldsForNumbers(CompareOp op, double left, double right) {
  switch (op) {
    case CompareOp::kEq: return left == right;
    case CompareOp::kNe: return left != right;
    case CompareOp::kLt: return left < right;
    case CompareOp::kLe: return left <= right;
    case CompareOp::kGt: return left > right;
    case CompareOp::kGe: return left >= right;
    case CompareOp::kContains: break;  // refused for numbers when parsed
  }
  return false;
}

bool IsSearch(TermKind kind) {
  return kind == TermKind::kSearchText || kind == TermKind::kSearchConstant;
}

// A search term: the text, or the constant's value, anywhere in the record
// at a character start.
bool EvaluateSearch(const Term& term, std::string_view record, bool ignoreCase,
                    RecordContext& context) {
  std::string_view text = record;
  std::string_view search = term.text;
  if (term.kind == TermKind::kSearchConstant) {
    ConstantValue(term.constant, context, context.constant);
    search = context.constant;
  }
  if (ignoreCase) {
    cp932::UpperInto(text, context.upperRecord);
    cp932::UpperInto(search, context.upperSearch);
    text = context.upperRecord;
    search = context.upperSearch;
  }
  // An empty search text is found in every record except the empty one.
  const size_t at = cp932::FindAligned(text, search);
  // Upper-casing keeps every length, so the offset is one in the record.
  if (context.trace != nullptr) {
    const bool found = at != std::string_view::npos;
    context.trace->termReads.push_back(
        {&term, found ? ByteRange{at, search.size()} : ByteRange{}, found});
  }
  return at != std::string_view::npos;
}

// A trace of the fields a comparison reads: the left one, and the right one
// when it is a field and the left one is within the record (else it is not
// looked at).
void NoteFields(const Term& term, std::string_view record, RecordTrace& trace) {
  trace.termReads.push_back({&term, RangeOf(term.left), true});
  const int64_t leftEnd = static_cast<int64_t>(term.left.position) + term.left.length - 1;
  if (term.kind == TermKind::kCompareField && leftEnd <= static_cast<int64_t>(record.size())) {
    trace.termReads.push_back({&term, RangeOf(term.right), true});
  }
}

// The two sides of a comparison. A field beyond the record is false under
// option S and error 20 otherwise; the right operand is not looked at when
// the left field is already out of range. Fields are justified by their
// types; a quoted text and a constant are taken as they are.
bool ComparisonSides(const Job& job, const Term& term, std::string_view record,
                     RecordContext& context, std::string_view& left, std::string_view& right) {
  const bool lenient = job.options.Has(Option::kLenientFields);
  if (!CutField(record, term.left, false, left)) {
    if (!lenient) context.error = ErrorCode::kFieldBeyondRecord;
    return false;
  }
  left = Justify(TrimSideOf(term.leftType), left);
  switch (term.kind) {
    case TermKind::kCompareText: right = term.text; return true;
    case TermKind::kCompareConstant:
      ConstantValue(term.constant, context, context.constant);
      right = context.constant;
      return true;
    default: break;
  }
  if (!CutField(record, term.right, false, right)) {
    if (!lenient) context.error = ErrorCode::kFieldBeyondRecord;
    return false;
  }
  right = Justify(TrimSideOf(term.rightType), right);
  return true;
}

// Texts: code page 932 order, or the contains test; under option U both
// sides upper-cased.
bool CompareTexts(const Term& term, bool ignoreCase, std::string_view left, std::string_view right,
                  RecordContext& context) {
  if (ignoreCase) {
    cp932::UpperInto(left, context.left);
    cp932::UpperInto(right, context.right);
    left = context.left;
    right = context.right;
  }
  if (term.op == CompareOp::kContains) {
    return cp932::FindAligned(left, right) != std::string_view::npos;
  }
  return HoldsForOrder(term.op, cp932::Compare(left, right));
}

// Numbers: both values must pass the numeric test unless option N is on;
// then each is read as far as it is a number. A quoted right operand was
// tested and read when parsed. Option U cannot change a test or a number
// (upper-casing leaves digits, signs, blanks and the point alone and turns
// "e" into "E", which reads alike), so it is not applied.
bool CompareNumbers(const Job& job, const Term& term, std::string_view left,
                    std::string_view right, RecordContext& context) {
  const bool decided = term.kind == TermKind::kCompareText;
  double leftNumber = 0.0;
  double rightNumber = 0.0;
  if (job.options.Has(Option::kNoNumericCheck)) {
    leftNumber = numeric::ReadNumber(left);
    rightNumber = decided ? term.textNumber : numeric::ReadNumber(right);
  } else {
    // The left value is tested first, then the right one.
    if (!numeric::ReadIfNumeric(left, leftNumber)) {
      context.error = ErrorCode::kNotNumeric;
      return false;
    }
    if (decided) {
      rightNumber = term.textNumber;
      if (!term.textIsNumeric) context.error = ErrorCode::kNotNumeric;
    } else if (!numeric::ReadIfNumeric(right, rightNumber)) {
      context.error = ErrorCode::kNotNumeric;
    }
    if (context.error != ErrorCode::kNone) return false;
  }
  return HoldsForNumbers(term.op, leftNumber, rightNumber);
}

}  // namespace

Selection SelectRecord(const Job& job, std::string_view record, RecordContext& context) {
  Selection selection;
  if (job.selection.empty()) {
    selection.selected = true;
    return selection;
  }
  for (size_t group = 0; group < job.selection.size(); ++group) {
    int failedTerm = -1;
    const bool holds = EvaluateCondition(job, job.selection[group].condition, record, context,
                                         context.trace != nullptr ? &failedTerm : nullptr);
    if (context.trace != nullptr) context.trace->groupFailedTerm.push_back(failedTerm);
    if (context.error != ErrorCode::kNone) {
      context.Fail(context.error, job.selection[group].line);
      return selection;
    }
    if (holds) {
      selection.selected = true;
      selection.group = static_cast<int>(group);
      return selection;
    }
  }
  return selection;
}

bool EvaluateCondition(const Job& job, const Condition& condition, std::string_view record,
                       RecordContext& context, int* failedTerm) {
  bool holds = true;
  size_t term = 0;
  for (; term < condition.terms.size(); ++term) {
    holds = EvaluateTerm(job, condition.terms[term], record, context);
    if (!holds || context.error != ErrorCode::kNone) break;
  }
  if (failedTerm != nullptr) *failedTerm = holds ? -1 : static_cast<int>(term);
  return holds;
}

bool EvaluateDefinitionCondition(const Job& job, const Condition& condition, int line,
                                 std::string_view record, RecordContext& context) {
  int failedTerm = -1;
  const bool applies = EvaluateCondition(job, condition, record, context, &failedTerm);
  if (context.trace != nullptr) context.trace->definitionFailedTerm.push_back(failedTerm);
  if (context.error == ErrorCode::kNone) return applies;
  return context.Fail(context.error, line);
}

bool EvaluateTerm(const Job& job, const Term& term, std::string_view record,
                  RecordContext& context) {
  const bool ignoreCase = job.options.Has(Option::kIgnoreCase);
  if (IsSearch(term.kind)) return EvaluateSearch(term, record, ignoreCase, context);
  if (context.trace != nullptr) NoteFields(term, record, *context.trace);
  std::string_view left;
  std::string_view right;
  if (!ComparisonSides(job, term, record, context, left, right)) return false;
  if (term.leftType != FieldType::kN) return CompareTexts(term, ignoreCase, left, right, context);
  return CompareNumbers(job, term, left, right, context);
}
