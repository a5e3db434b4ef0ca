// Edit definitions of CHANGE, EDIT and CSV, and the value operands that
// CHANGE and CSV share.
#include "job/DefinitionSyntax.h"

#include <string>

#include "job/ConditionSyntax.h"
#include "platform/Cp932.h"

namespace {

// Longest output line an EDIT definition may reach (10 MB).
constexpr long long kMaxEditLine = 10000000;

// "first, second" from the front of `text`. For CSV the second operand is
// optional and what follows it is left to the caller; for CHANGE both are
// required, followed by nothing or by "@" and a condition list, which is
// left in `text`.
ErrorCode ReadOperands(StatementText& text, bool csv, Operand& first, Operand& second) {
  text.TrimLeft();
  if (ErrorCode error = ReadQuotedOrConstant(text, first); error != ErrorCode::kNone) return error;
  text.TrimLeft();
  text.Mark();
  if (text.Empty()) return csv ? ErrorCode::kNone : ErrorCode::kBadParameter;
  if (text.Front() != ',') return ErrorCode::kBadParameter;
  text.Drop(1);
  text.TrimLeft();
  if (ErrorCode error = ReadQuotedOrConstant(text, second); error != ErrorCode::kNone) return error;
  text.TrimLeft();
  if (csv || text.Empty()) return ErrorCode::kNone;
  text.Mark();
  if (text.Front() != '@') return ErrorCode::kBadParameter;
  text.Drop(1);
  text.TrimLeft();
  // "@" must be followed by a condition.
  return text.Empty() ? ErrorCode::kBadParameter : ErrorCode::kNone;
}

// The edit type of an EDIT definition: "A", or "N" with optional flags
// ("+", "-", "0", "+0", "-0") and precision (".0" to ".9"). The width is the
// field's length (half of it under WID, which doubles every character; an
// odd length there is 27).
ErrorCode ParseEditType(Conversion conversion, const std::string& type, int32_t length,
                        EditDefinition& definition) {
  if (type.empty() || type[0] != 'N') {
    return type == "A" ? ErrorCode::kNone : ErrorCode::kBadEditType;
  }
  int32_t width = length;
  if (conversion == Conversion::kWide) {
    if (width % 2 != 0) return ErrorCode::kOddWideLength;
    width /= 2;
  }

  std::string_view rest = std::string_view(type).substr(1);
  std::string_view flags;
  if (rest.starts_with("+0") || rest.starts_with("-0")) {
    flags = rest.substr(0, 2);
  } else if (!rest.empty() && (rest[0] == '+' || rest[0] == '-' || rest[0] == '0')) {
    flags = rest.substr(0, 1);
  }
  rest.remove_prefix(flags.size());

  // The precision: ".0" up to ".9" in byte order, so a point and one digit,
  // or a longer text starting with a point and a digit 0-8 (".5x" reads 5).
  if (!rest.empty() && (rest.compare(".0") < 0 || rest.compare(".9") > 0)) {
    return ErrorCode::kBadEditType;
  }

  std::string spec(flags);
  spec.append(std::to_string(width));
  spec.append(rest.empty() ? std::string_view(".0") : rest);
  definition.form.numeric = true;
  definition.form.format = numeric::ParseNumFormat(spec);
  return ErrorCode::kNone;
}

}  // namespace

ErrorCode ParseChangeDefinition(StatementText& text, ChangeDefinition& definition) {
  if (ErrorCode error = ReadOperands(text, false, definition.search, definition.replacement);
      error != ErrorCode::kNone) {
    return error;
  }
  return ParseCondition(text, ErrorCode::kTooManyEditTerms, definition.condition);
}

ErrorCode ParseEditDefinition(Conversion conversion, StatementText& text,
                              EditDefinition& definition) {
  FieldTermText parts;
  if (ErrorCode error = ReadFieldTerm(text, true, parts); error != ErrorCode::kNone) return error;

  // An input field, or the empty text, needs a field type of its own.
  const bool field = parts.right.kind == Operand::Kind::kField;
  if (field || (parts.right.kind == Operand::Kind::kText && parts.right.text.empty())) {
    FieldType type;
    if (ErrorCode error = ReadFieldType(parts.rightType, type); error != ErrorCode::kNone) {
      return error;
    }
  }
  if (ErrorCode error = ParseEditType(conversion, parts.type, parts.left.length, definition);
      error != ErrorCode::kNone) {
    text.MarkAt(error == ErrorCode::kOddWideLength ? parts.lengthColumn : parts.typeColumn);
    return error;
  }
  // A quoted text takes the kind of the edit type; a constant and a field
  // keep their own, which must agree with it.
  const char editKind = definition.form.numeric ? 'N' : 'A';
  if (parts.rightType.empty()) parts.rightType.assign(1, editKind);
  if (parts.rightType[0] != editKind) return ErrorCode::kTypeMismatch;
  if (ErrorCode error = text.ApplySeparatorRule('@'); error != ErrorCode::kNone) return error;
  // Lines may grow past the usual 100,000 bytes, but a field ending beyond
  // 10 MB is a mistake in the parameter file, not a record layout: refusing
  // it here keeps a run from asking for gigabytes per line.
  if (static_cast<long long>(parts.left.position) + parts.left.length - 1 > kMaxEditLine) {
    text.MarkAt(parts.lengthColumn);
    return ErrorCode::kBadParameter;
  }

  definition.conversion = conversion;
  definition.output = parts.left;
  const bool constant = parts.right.kind == Operand::Kind::kConstant;
  definition.form.tested = !constant && parts.rightType == "N";
  if (field) {
    FieldType type = FieldType::kA;
    ReadFieldType(parts.rightType, type);
    definition.form.justify = TrimSideOf(type);
  }
  definition.plain = conversion == Conversion::kNone && !definition.form.numeric && !constant &&
                     parts.rightType == "A";
  definition.value = std::move(parts.right);
  return ParseCondition(text, ErrorCode::kTooManyEditTerms, definition.condition);
}

namespace {

// CSV: a quoted text or a constant, optionally followed by a header name (a
// quoted text or a constant) and nothing else.
ErrorCode ReadCsvOperands(StatementText& text, CsvDefinition& definition) {
  const ErrorCode error = ReadOperands(text, true, definition.value, definition.header);
  // CSV values carry no conditions: anything left is wrong.
  if (!text.Empty()) {
    if (error == ErrorCode::kNone) text.Mark();
    return ErrorCode::kBadParameter;
  }
  if (error != ErrorCode::kNone) return error;
  // [IN_LINE] and [OUT_LINE] are written as whole numbers.
  if (definition.value.kind == Operand::Kind::kConstant &&
      IsNumericConstant(definition.value.constant)) {
    definition.form.numeric = true;
    definition.form.tested = true;
    definition.form.format = numeric::ParseNumFormat(".0");
  }
  return ErrorCode::kNone;
}

// The header name after an input field: the quoted text after the comma,
// without doubled-quote escapes (a double quote is never the second byte of
// a double-byte character, so a byte search is safe), and nothing after it.
ErrorCode ReadHeaderName(StatementText& text, Operand& header) {
  text.Mark();
  const std::string_view rest = text.Rest();
  const size_t open = rest.find('"');
  if (open == std::string_view::npos) return ErrorCode::kBadParameter;
  const size_t close = rest.find('"', open + 1);
  if (close == std::string_view::npos || close == open + 1) return ErrorCode::kBadParameter;
  header.kind = Operand::Kind::kText;
  header.text.assign(rest.substr(open + 1, close - open - 1));
  text.Drop(close + 1);
  text.TrimLeft();
  text.Mark();
  return text.Empty() ? ErrorCode::kNone : ErrorCode::kBadParameter;
}

// CSV: an input field "pos,len,type", optionally followed by ,"header".
ErrorCode ReadCsvField(StatementText& text, CsvDefinition& definition) {
  definition.value.kind = Operand::Kind::kField;
  if (ErrorCode error = ReadPositionAndLength(text, definition.value.field);
      error != ErrorCode::kNone) {
    return error;
  }
  text.Mark();
  // The comma before the header name stays: it introduces it.
  const std::string typeText = TrimUpper(text.TakeUntil(','));
  text.TrimLeft();
  FieldType type;
  if (ErrorCode error = ReadFieldType(typeText, type); error != ErrorCode::kNone) return error;
  definition.form.justify = TrimSideOf(type);
  if (type == FieldType::kN) {
    definition.form.numeric = true;
    definition.form.tested = true;
    definition.form.format = numeric::ParseNumFormat("");  // six decimals, as %f
  }
  return text.Empty() ? ErrorCode::kNone : ReadHeaderName(text, definition.header);
}

}  // namespace

ErrorCode ParseCsvDefinition(Conversion conversion, StatementText& text,
                             CsvDefinition& definition) {
  definition.conversion = conversion;
  if (text.Front() == '"' || text.Front() == '[') return ReadCsvOperands(text, definition);
  return ReadCsvField(text, definition);
}
