// The edit statements of CHANGE, EDIT and CSV: what each form stores, the
// errors of each, and the edit types of EDIT with the number format they give.
#include "job/DefinitionSyntax.h"

#include <gtest/gtest.h>

#include <string>

#include "job/JobReaderTesting.h"

namespace {

const std::string kA = "\x83\x41";    // katakana "a": second byte "A"
const std::string kHyo = "\x95\x5C";  // kanji "table": second byte "\"

// " @ " and 30 search terms.
std::string ThirtyTerms() {
  std::string terms = " @ \"a\"";
  for (int i = 1; i < kMaxTerms; ++i) terms += " & \"a\"";
  return terms;
}

// "FUNCTION = <type>", then `statements`, which must all succeed.
Job ReadDefinitions(const char* type, const std::string& statements) {
  ReadOutcome outcome = ReadAll(std::string("FUNCTION = ") + type + "\n" + statements);
  EXPECT_TRUE(outcome.errors.empty()) << statements;
  return std::move(outcome.job);
}

// Each `statements` entry after "FUNCTION = <type>" fails with its code on
// line 2; "|" marks the column.
void ExpectErrors(const char* type,
                  std::initializer_list<std::pair<std::string, ErrorCode>> statements) {
  for (const auto& [statement, code] : statements) {
    ExpectFirstError(std::string("FUNCTION = ") + type + "\n" + statement + "\n", code, 2);
  }
}

TEST(ChangeDefinitionTest, OperandsAndCondition) {
  const Job job = ReadDefinitions(
      "CHANGE", "EDT = [file] , \"a\"\"b\" @ \"z\" & 1,1,A,=,\"" + kHyo + "\"\nEDT = \"" + kA +
                    "\",[OUT_LINE]\nEDT = \"a\",\"b\"" + ThirtyTerms() + "\n");
  ASSERT_EQ(job.changes.size(), 3u);
  const ChangeDefinition& first = job.changes[0];
  EXPECT_EQ(first.search.kind, Operand::Kind::kConstant);
  EXPECT_EQ(first.search.constant, Constant::kFile);
  EXPECT_EQ(first.replacement.kind, Operand::Kind::kText);
  EXPECT_EQ(first.replacement.text, "a\"b");
  ASSERT_EQ(first.condition.terms.size(), 2u);
  EXPECT_EQ(first.condition.terms[1].text, kHyo);
  EXPECT_EQ(job.changes[1].search.text, kA);
  EXPECT_EQ(job.changes[1].replacement.constant, Constant::kOutLine);
  EXPECT_TRUE(job.changes[1].condition.terms.empty());
  EXPECT_EQ(job.changes[2].condition.terms.size(), 30u);
}

TEST(ChangeDefinitionTest, Errors) {
  ExpectErrors("CHANGE", {
      {"EDT = \"a\"|", ErrorCode::kBadParameter},
      {"EDT = \"a\" |\"b\"", ErrorCode::kBadParameter},
      {"EDT = \"a\",|b", ErrorCode::kBadParameter},
      {"EDT = |abc,\"b\"", ErrorCode::kBadParameter},
      {"EDT = |[NOW],\"b\"", ErrorCode::kBadParameter},
      {"EDT = \"a\",|\"b", ErrorCode::kBadParameter},
      {"EDT = \"a\",\"b\" |@", ErrorCode::kBadParameter},
      {"EDT = \"a\",\"b\" |x", ErrorCode::kBadParameter},
      {"EDT = \"a\",\"b\" |& \"c\"", ErrorCode::kBadParameter},
      {"EDT = \"a\",\"b\" @ 1,1,A,==,\"x\" |&", ErrorCode::kBadParameter},
      {"EDT = \"a\",\"b\" @ 1,1,|Q,=,\"x\"", ErrorCode::kBadFieldType},
      {"EDT = \"a\",\"b\"" + ThirtyTerms() + " & |\"a\"", ErrorCode::kTooManyEditTerms},
  });
}

TEST(EditDefinitionTest, WhatEachFormStores) {
  const Job job = ReadDefinitions(
      "EDIT", "EDT = 5,3,A,=,1,3,AT @ 1,1,A,=,\"" + kHyo + "\" & \"x\"\nEDT = 1,3,A,=,\"" + kA +
                  "\"\nWID = 1,8,N,=,\"12\"\nEDT = 1,8,N,=,[IN_LINE]\nUPP = 1,6,A,=,[FILE]\n"
                  "EDT = 1,6,N-0.2,=,10,6,N\nEDT = 1,10000000,A,=,\"x\"\n");
  ASSERT_EQ(job.edits.size(), 7u);
  const EditDefinition& field = job.edits[0];
  EXPECT_EQ(std::pair(field.output.position, field.output.length), std::pair(5, 3));
  EXPECT_EQ(std::pair(field.value.field.position, field.value.field.length), std::pair(1, 3));
  EXPECT_EQ(field.condition.terms.size(), 2u);  // "&" belongs to the condition
  EXPECT_EQ(job.edits[1].value.text, kA);
  EXPECT_EQ(job.edits[2].form.format.width, 4);  // half the length under WID
  EXPECT_EQ(job.edits[3].value.constant, Constant::kInLine);
  EXPECT_EQ(job.edits[6].output.length, 10000000);

  // A plain text is copied as it is; a quoted number or field of type N is tested.
  const struct {
    Conversion conversion;
    Operand::Kind kind;
    TrimSide justify;
    bool numeric, tested, plain;
  } expected[] = {
      {Conversion::kNone, Operand::Kind::kField, TrimSide::kBoth, false, false, false},
      {Conversion::kNone, Operand::Kind::kText, TrimSide::kNone, false, false, true},
      {Conversion::kWide, Operand::Kind::kText, TrimSide::kNone, true, true, false},
      {Conversion::kNone, Operand::Kind::kConstant, TrimSide::kNone, true, false, false},
      {Conversion::kUpper, Operand::Kind::kConstant, TrimSide::kNone, false, false, false},
      {Conversion::kNone, Operand::Kind::kField, TrimSide::kNone, true, true, false},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const EditDefinition& d = job.edits[i];
    EXPECT_EQ(d.line, static_cast<int>(i) + 2);
    EXPECT_EQ(d.conversion, expected[i].conversion) << d.line;
    EXPECT_EQ(d.value.kind, expected[i].kind) << d.line;
    EXPECT_EQ(d.form.justify, expected[i].justify) << d.line;
    EXPECT_EQ(d.form.numeric, expected[i].numeric) << d.line;
    EXPECT_EQ(d.form.tested, expected[i].tested) << d.line;
    EXPECT_EQ(d.plain, expected[i].plain) << d.line;
  }
}

TEST(EditDefinitionTest, Errors) {
  ExpectErrors("EDIT", {
      {"EDT = |[FILE],=,\"x\"", ErrorCode::kBadParameter},
      {"EDT = |0,5,A,=,\"x\"", ErrorCode::kBadParameter},
      {"EDT = 1,5,A,=,|\"x", ErrorCode::kBadParameter},
      {"EDT = 1,5,A,=,\"x\" |@", ErrorCode::kBadParameter},
      {"EDT = 1,5,A,=,\"x\" |& 1", ErrorCode::kBadParameter},
      {"EDT = 1,5,A,=,\"x\" @ |[NOW]", ErrorCode::kBadParameter},
      // A field ending beyond 10,000,000 bytes.
      {"EDT = 2,|10000000,A,=,\"x\"", ErrorCode::kBadParameter},
      {"WID = 2147483647,|2147483646,N,=,\"1\"", ErrorCode::kBadParameter},
      {"EDT = |x,5,A,=,\"x\"", ErrorCode::kNotDigits},
      {"EDT = 1,5,A,=,3,|x,A", ErrorCode::kNotDigits},
      {"EDT = 1,8,A,=,|[IN_LINE]", ErrorCode::kTypeMismatch},
      {"EDT = 1,8,N,=,|[FILE]", ErrorCode::kTypeMismatch},
      {"EDT = 1,5,A,=,3,2,|N", ErrorCode::kTypeMismatch},
      {"EDT = 1,5,|AT,=,\"x\"", ErrorCode::kBadEditType},
      {"UPP = 1,5,|N10.2,=,\"1\"", ErrorCode::kBadEditType},
      {"EDT = 1,5,A,=,|\"\"", ErrorCode::kBadFieldType},  // the empty text needs a type
      {"EDT = 1,5,A,=,3,2,|B", ErrorCode::kBadFieldType},
      {"EDT = 1,5,A,|==,\"x\"", ErrorCode::kBadOperator},
      {"NAR = 1,5,A,|<>,\"x\"", ErrorCode::kBadOperator},
      {"EDT = 1,1,A,=,\"x\"" + ThirtyTerms() + " & |\"a\"", ErrorCode::kTooManyEditTerms},
      {"WID = 1,|5,N,=,\"12\"", ErrorCode::kOddWideLength},
  });
}

TEST(CsvDefinitionTest, WhatEachFormStores) {
  const Job job = ReadDefinitions(
      "CSV", "EDT = 1,5, at ,\"Code\"\nEDT = 1,5,A,\"a,b\"\nEDT = \"\"\nLOW = [out_line] , [file]\n"
             "EDT = 2,3,n\nEDT = \"" + kHyo + "\",\"" + kA + "\"\n");
  ASSERT_EQ(job.csv.size(), 6u);
  const CsvDefinition& field = job.csv[0];
  EXPECT_EQ(field.value.kind, Operand::Kind::kField);
  EXPECT_EQ(std::pair(field.value.field.position, field.value.field.length), std::pair(1, 5));
  EXPECT_EQ(field.form.justify, TrimSide::kBoth);
  EXPECT_EQ(field.header.text, "Code");
  EXPECT_FALSE(field.form.numeric);
  EXPECT_FALSE(field.form.tested);
  EXPECT_EQ(job.csv[1].header.text, "a,b");
  EXPECT_EQ(job.csv[2].value.kind, Operand::Kind::kText);  // the empty text, not a field
  const CsvDefinition& constant = job.csv[3];
  EXPECT_EQ(constant.conversion, Conversion::kLower);
  EXPECT_EQ(constant.value.constant, Constant::kOutLine);
  EXPECT_EQ(constant.header.constant, Constant::kFile);
  EXPECT_TRUE(constant.form.numeric);  // counters are whole numbers
  EXPECT_TRUE(constant.form.tested);
  EXPECT_EQ(constant.form.format.precision, 0);
  EXPECT_TRUE(job.csv[4].form.numeric);  // a field of type N: six decimals
  EXPECT_TRUE(job.csv[4].form.tested);
  EXPECT_EQ(job.csv[4].form.format.precision, 6);
  EXPECT_EQ(job.csv[5].value.text + job.csv[5].header.text, kHyo + kA);
}

TEST(CsvDefinitionTest, Errors) {
  ExpectErrors("CSV", {
      {"EDT = |1", ErrorCode::kBadParameter},         {"EDT = 1,|5", ErrorCode::kBadParameter},
      {"EDT = |0,5,A", ErrorCode::kBadParameter},     {"EDT = 1,|0,A", ErrorCode::kBadParameter},
      {"EDT = 1,5,A|,Name", ErrorCode::kBadParameter},
      {"EDT = 1,5,A|,\"\"", ErrorCode::kBadParameter},
      {"EDT = 1,5,A|,\"Name", ErrorCode::kBadParameter},
      {"EDT = 1,5,A,\"Name\" |x", ErrorCode::kBadParameter},
      {"EDT = 1,5,A,\"a\"|\"b\"", ErrorCode::kBadParameter},  // no doubled quotes in a header
      {"EDT = 1,5,A|,[FILE]", ErrorCode::kBadParameter},
      {"EDT = 1,5,A|,", ErrorCode::kBadParameter},
      {"EDT = |\"abc", ErrorCode::kBadParameter},     {"EDT = |[NOW]", ErrorCode::kBadParameter},
      {"EDT = [FILE],|", ErrorCode::kBadParameter},
      {"EDT = \"a\" |@ 1,1,A,=,\"x\"", ErrorCode::kBadParameter},  // CSV has no conditions
      {"EDT = \"a\",\"b\" |@ \"x\"", ErrorCode::kBadParameter},
      {"EDT = |x,5,A", ErrorCode::kNotDigits},        {"EDT = 1,|5x,A", ErrorCode::kNotDigits},
      {"EDT = 1,5,|X", ErrorCode::kBadFieldType},
  });
}

// Reads "1,<length>,<type>,=,"1"" as an EDIT definition of `conversion`.
ErrorCode ParseEditType(Conversion conversion, const std::string& type, const std::string& length,
                        EditDefinition& definition) {
  const std::string line = "1," + length + "," + type + ",=,\"1\"";
  StatementText text(line, 0);
  return ParseEditDefinition(conversion, text, definition);
}

TEST(EditTypeTest, FormsAndTheirFormats) {
  struct Case {
    const char* written;
    Conversion conversion;
    const char* length;
    ErrorCode error;
    const char* spec;  // the number format it gives ("flags width.precision"); null for text
  } cases[] = {
      {"A", Conversion::kNone, "10", ErrorCode::kNone, nullptr},
      {"N", Conversion::kNone, "10", ErrorCode::kNone, "10.0"},
      {"N-", Conversion::kNone, "10", ErrorCode::kNone, "-10.0"},
      {"N+", Conversion::kNone, "10", ErrorCode::kNone, "+10.0"},
      {"N0", Conversion::kNone, "10", ErrorCode::kNone, "010.0"},
      {"N+0.2", Conversion::kNone, "10", ErrorCode::kNone, "+010.2"},
      {"N-0.2", Conversion::kNone, "10", ErrorCode::kNone, "-010.2"},
      {"N.2", Conversion::kNone, "10", ErrorCode::kNone, "10.2"},
      {"N-", Conversion::kWide, "10", ErrorCode::kNone, "-5.0"},
      {"N", Conversion::kWide, "8", ErrorCode::kNone, "4.0"},
      {"N", Conversion::kWide, "7", ErrorCode::kOddWideLength, nullptr},
      {"N10.2", Conversion::kWide, "7", ErrorCode::kOddWideLength, nullptr},  // length first
      {"A", Conversion::kWide, "7", ErrorCode::kNone, nullptr},  // a text has no width
      {"N.10", Conversion::kNone, "20", ErrorCode::kNone, "20.10"},
      {"N.9", Conversion::kNone, "5", ErrorCode::kNone, "5.9"},
      {"N.5x", Conversion::kNone, "5", ErrorCode::kNone, "5.5"},
      {"N.95", Conversion::kNone, "5", ErrorCode::kBadEditType, nullptr},
      {"N10.2", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"N2", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"N.", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"N+-", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"N00", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"N.\x82\x50", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"AL", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"", Conversion::kNone, "10", ErrorCode::kBadEditType, nullptr},
      {"a", Conversion::kNone, "10", ErrorCode::kNone, nullptr},  // types are case-blind
      {"N", Conversion::kNone, "0012", ErrorCode::kNone, "12.0"},
  };
  for (const Case& c : cases) {
    EditDefinition definition;
    EXPECT_EQ(ParseEditType(c.conversion, c.written, c.length, definition), c.error) << c.written;
    if (c.error != ErrorCode::kNone) continue;
    EXPECT_EQ(definition.form.numeric, c.spec != nullptr) << c.written;
    if (c.spec == nullptr) continue;
    const numeric::NumFormat expected = numeric::ParseNumFormat(c.spec);
    EXPECT_EQ(definition.form.format.plus, expected.plus) << c.written;
    EXPECT_EQ(definition.form.format.left, expected.left) << c.written;
    EXPECT_EQ(definition.form.format.zero, expected.zero) << c.written;
    EXPECT_EQ(definition.form.format.width, expected.width) << c.written;
    EXPECT_EQ(definition.form.format.precision, expected.precision) << c.written;
  }
}

// Value -> edit type -> formatted number, as EDIT does it.
std::string Edit(std::string_view value, const std::string& type, const std::string& length,
                 Conversion conversion = Conversion::kNone) {
  EditDefinition definition;
  EXPECT_EQ(ParseEditType(conversion, type, length, definition), ErrorCode::kNone) << type;
  std::string out;
  numeric::FormatNumber(numeric::ReadNumber(value), definition.form.format, out);
  return out;
}

TEST(EditTypeTest, FormatTableLength10) {
  struct Row {
    const char* written;
    const char* a;  // 1234.5678
    const char* b;  // -5
    const char* c;  // 0
  } rows[] = {
      {"N", "      1235", "        -5", "         0"},
      {"N-", "1235      ", "-5        ", "0         "},
      {"N+", "     +1235", "        -5", "        +0"},
      {"N0", "0000001235", "-000000005", "0000000000"},
      {"N+0.2", "+001234.57", "-000005.00", "+000000.00"},
      {"N-0.2", "1234.57   ", "-5.00     ", "0.00      "},
      {"N.2", "   1234.57", "     -5.00", "      0.00"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Edit("1234.5678", r.written, "10"), r.a) << r.written;
    EXPECT_EQ(Edit("-5", r.written, "10"), r.b) << r.written;
    EXPECT_EQ(Edit("0", r.written, "10"), r.c) << r.written;
  }
  // Under WID the width is half the length.
  EXPECT_EQ(Edit("1234.5678", "N", "10", Conversion::kWide), " 1235");
  // The value is read as a number first: blanks and an explicit sign.
  EXPECT_EQ(Edit(" 12.5", "N.2", "8"), "   12.50");
  EXPECT_EQ(Edit("+7", "N", "3"), "  7");
}

}  // namespace
