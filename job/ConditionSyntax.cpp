// Condition lists: search terms and comparison terms, parsed once into Terms
// that carry everything evaluation needs (operators decoded, quoted numbers
// read), so nothing is re-read per record.
#include "job/ConditionSyntax.h"

#include "platform/Cp932.h"
#include "value/Numeric.h"

namespace {

// The operator forms a condition accepts; false for any other text.
bool DecodeOperator(std::string_view op, CompareOp& decoded) {
  static constexpr std::pair<std::string_view, CompareOp> kOperators[] = {
      {"=", CompareOp::kEq},  {"!=", CompareOp::kNe}, {"<>", CompareOp::kNe},
      {"<", CompareOp::kLt},  {"<=", CompareOp::kLe}, {"=<", CompareOp::kLe},
      {">", CompareOp::kGt},  {">=", CompareOp::kGe}, {"=>", CompareOp::kGe},
      {"==", CompareOp::kContains}};
  return LookUpWord(op, kOperators, decoded);
}

// A search term: a quoted text or a bracketed constant, then "&" or the end.
ErrorCode ParseSearchTerm(StatementText& text, Term& term) {
  Operand operand;
  if (ErrorCode error = ReadQuotedOrConstant(text, operand); error != ErrorCode::kNone) return error;
  term.kind = operand.kind == Operand::Kind::kText ? TermKind::kSearchText : TermKind::kSearchConstant;
  term.text = std::move(operand.text);
  term.constant = operand.constant;
  return ErrorCode::kNone;
}

// A comparison term, with the checks a SEL statement makes.
ErrorCode ParseComparison(StatementText& text, Term& term) {
  FieldTermText parts;
  if (ErrorCode error = ReadFieldTerm(text, false, parts); error != ErrorCode::kNone) return error;

  // A right side that is not a non-empty text (a field, a constant or "")
  // must agree with the left type and be a comparison type itself.
  const bool quotedText = parts.right.kind == Operand::Kind::kText && !parts.right.text.empty();
  if (!quotedText) {
    if (FirstChar(parts.rightType) != FirstChar(parts.type)) return ErrorCode::kTypeMismatch;
    if (ErrorCode error = ReadFieldType(parts.rightType, term.rightType); error != ErrorCode::kNone) {
      return error;
    }
  }
  if (ErrorCode error = ReadFieldType(parts.type, term.leftType); error != ErrorCode::kNone) {
    text.MarkAt(parts.typeColumn);
    return error;
  }
  DecodeOperator(parts.op, term.op);
  // The contains test exists for string types only.
  if (term.leftType == FieldType::kN && term.op == CompareOp::kContains) {
    text.MarkAt(parts.typeColumn);
    return ErrorCode::kBadFieldType;
  }

  term.left = parts.left;
  switch (parts.right.kind) {
    case Operand::Kind::kText:
      term.kind = TermKind::kCompareText;
      term.text = std::move(parts.right.text);
      // A quoted number never changes, so its test and value are decided
      // now. Option U cannot change either: upper-casing leaves digits,
      // signs and the point alone and turns "e" into "E", read alike.
      if (term.leftType == FieldType::kN) {
        term.textIsNumeric = numeric::IsNumeric(term.text);
        term.textNumber = numeric::ReadNumber(term.text);
      }
      break;
    case Operand::Kind::kConstant:
      term.kind = TermKind::kCompareConstant;
      term.constant = parts.right.constant;
      break;
    case Operand::Kind::kField:
      term.kind = TermKind::kCompareField;
      term.right = parts.right.field;
      break;
  }
  return ErrorCode::kNone;
}

// The operator, as written apart from the blanks around it, and its comma:
// "=" only in an edit definition, any form DecodeOperator knows in SEL.
ErrorCode ReadOperator(StatementText& text, bool editDefinition, std::string& op) {
  text.Mark();
  op.assign(cp932::Trim(text.BeforeComma()));
  CompareOp decoded;
  if (editDefinition ? op != "=" : !DecodeOperator(op, decoded)) return ErrorCode::kBadOperator;
  text.DropThroughComma();
  text.TrimLeft();
  return ErrorCode::kNone;
}

// The right operand: a quoted text, a constant, or a field "pos,len,type"
// whose type runs up to the term's separator.
ErrorCode ReadRightOperand(StatementText& text, bool editDefinition, FieldTermText& term) {
  text.Mark();
  if (text.Front() == '"' || text.Front() == '[') {
    if (ErrorCode error = ReadQuotedOrConstant(text, term.right); error != ErrorCode::kNone) {
      return error;
    }
    if (term.right.kind == Operand::Kind::kConstant) {
      term.rightType = IsNumericConstant(term.right.constant) ? "N.0" : "A";
    }
    return ErrorCode::kNone;
  }
  term.right.kind = Operand::Kind::kField;
  if (ErrorCode error = ReadPositionAndLength(text, term.right.field); error != ErrorCode::kNone) {
    return error;
  }
  text.TrimLeft();
  text.Mark();
  term.rightType = TrimUpper(text.TakeUntil(editDefinition ? '@' : '&'));
  return ErrorCode::kNone;
}

}  // namespace

ErrorCode ReadFieldTerm(StatementText& text, bool editDefinition, FieldTermText& term) {
  text.TrimLeft();
  text.Mark();
  // A constant is never the left operand of a definition.
  if (editDefinition && text.Front() == '[') return ErrorCode::kBadParameter;

  // Left operand: position, length, type.
  if (ErrorCode error = ReadPositionAndLength(text, term.left); error != ErrorCode::kNone) {
    return error;
  }
  term.lengthColumn = text.MarkedOffset();
  text.Mark();
  term.typeColumn = text.Offset();
  term.type = TrimUpper(text.BeforeComma());
  text.DropThroughComma();

  if (ErrorCode error = ReadOperator(text, editDefinition, term.op); error != ErrorCode::kNone) {
    return error;
  }
  return ReadRightOperand(text, editDefinition, term);
}

ErrorCode ParseCondition(StatementText& text, ErrorCode limitError, Condition& condition) {
  // The statement value and the text after each separator are already
  // trimmed, so the first byte tells the kind of term.
  while (!text.Empty()) {
    if (condition.terms.size() >= static_cast<size_t>(kMaxTerms)) {
      text.Mark();
      return limitError;
    }
    Term& term = condition.terms.emplace_back();
    const size_t start = text.Offset();
    text.Mark();
    ErrorCode error = (text.Front() == '"' || text.Front() == '[') ? ParseSearchTerm(text, term)
                                                                   : ParseComparison(text, term);
    if (error != ErrorCode::kNone) return error;
    term.written.assign(text.Since(start));
    if (error = text.ApplySeparatorRule('&'); error != ErrorCode::kNone) return error;
  }
  return ErrorCode::kNone;
}
