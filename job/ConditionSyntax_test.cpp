// The condition language: terms read into Condition values, the operator
// forms, the errors of SEL statements and the limit of 30 terms.
#include "job/ConditionSyntax.h"

#include <gtest/gtest.h>

#include <string>

#include "job/JobReaderTesting.h"

namespace {

const std::string kA = "\x83\x41";    // katakana "a": second byte "A"
const std::string kHyo = "\x95\x5C";  // kanji "table": second byte "\"

ErrorCode Parse(const std::string& value, Condition& condition,
                ErrorCode limit = ErrorCode::kTooManyTerms) {
  StatementText text(value, 0);
  return ParseCondition(text, limit, condition);
}

std::pair<int32_t, int32_t> Field(const FieldRef& field) { return {field.position, field.length}; }

TEST(ConditionSyntaxTest, TermsOfEveryKind) {
  Condition c;
  ASSERT_EQ(Parse("1,3,a,=,\"x\"\"y\" & [file] & 10, 2 ,N, >= ,20,2,n & \"" + kHyo + "&" + kA +
                      "\" & 1,8,al,<>,[File] & \"\" & 1,5,N,=,\" 12.5\" & 1,5,N,<,\"abc\"",
                  c),
            ErrorCode::kNone);
  ASSERT_EQ(c.terms.size(), 8u);
  const Term& text = c.terms[0];
  EXPECT_EQ(text.kind, TermKind::kCompareText);
  EXPECT_EQ(Field(text.left), std::pair(1, 3));
  EXPECT_EQ(text.leftType, FieldType::kA);
  EXPECT_EQ(text.op, CompareOp::kEq);
  EXPECT_EQ(text.text, "x\"y");
  EXPECT_EQ(text.written, "1,3,a,=,\"x\"\"y\"");

  EXPECT_EQ(c.terms[1].kind, TermKind::kSearchConstant);
  EXPECT_EQ(c.terms[1].constant, Constant::kFile);

  const Term& field = c.terms[2];
  EXPECT_EQ(field.kind, TermKind::kCompareField);
  EXPECT_EQ(Field(field.left), std::pair(10, 2));
  EXPECT_EQ(Field(field.right), std::pair(20, 2));
  EXPECT_EQ(field.leftType, FieldType::kN);
  EXPECT_EQ(field.rightType, FieldType::kN);
  EXPECT_EQ(field.op, CompareOp::kGe);
  EXPECT_EQ(field.written, "10, 2 ,N, >= ,20,2,n");

  // "&" inside quotes is text; double-byte characters pass whole.
  EXPECT_EQ(c.terms[3].kind, TermKind::kSearchText);
  EXPECT_EQ(c.terms[3].text, kHyo + "&" + kA);
  EXPECT_EQ(c.terms[4].kind, TermKind::kCompareConstant);
  EXPECT_EQ(c.terms[4].leftType, FieldType::kAL);
  EXPECT_EQ(c.terms[4].op, CompareOp::kNe);
  EXPECT_EQ(c.terms[5].kind, TermKind::kSearchText);
  EXPECT_EQ(c.terms[5].text, "");

  // A quoted number beside a numeric field is tested and read once; a text
  // that is no number is an error only when records are compared.
  EXPECT_FALSE(text.textIsNumeric);
  EXPECT_TRUE(c.terms[6].textIsNumeric);
  EXPECT_EQ(c.terms[6].textNumber, 12.5);
  EXPECT_FALSE(c.terms[7].textIsNumeric);

  Condition empty;
  EXPECT_EQ(Parse("", empty), ErrorCode::kNone);  // holds for every record
  EXPECT_TRUE(empty.terms.empty());
}

TEST(ConditionSyntaxTest, OperatorForms) {
  for (const auto& [form, op] :
       {std::pair("=", CompareOp::kEq), {"!=", CompareOp::kNe}, {"<>", CompareOp::kNe},
        {"<", CompareOp::kLt}, {"<=", CompareOp::kLe}, {"=<", CompareOp::kLe},
        {">", CompareOp::kGt}, {">=", CompareOp::kGe}, {"=>", CompareOp::kGe},
        {"==", CompareOp::kContains}}) {
    Condition c;
    ASSERT_EQ(Parse(std::string("1 , 5 , at , ") + form + " , \"x\"", c), ErrorCode::kNone) << form;
    EXPECT_EQ(c.terms[0].op, op) << form;
    EXPECT_EQ(c.terms[0].leftType, FieldType::kAT) << form;
  }
}

// Every error of a SEL statement, on line 3; "|" marks the column.
TEST(ConditionSyntaxTest, SelErrors) {
  const std::pair<std::string, ErrorCode> cases[] = {
      {"|\"abc", ErrorCode::kBadParameter},     {"\"x\" |&", ErrorCode::kBadParameter},
      {"\"x\" |\"y\"", ErrorCode::kBadParameter}, {"\"x\" & |&", ErrorCode::kBadParameter},
      {"|[ FILE ]", ErrorCode::kBadParameter},  {"|[NOW]", ErrorCode::kBadParameter},
      {"|[FILE", ErrorCode::kBadParameter},     {"|[]", ErrorCode::kBadParameter},
      {"|0,5,A,=,\"x\"", ErrorCode::kBadParameter}, {"|,5,A,=,\"x\"", ErrorCode::kBadParameter},
      {"|1", ErrorCode::kBadParameter},         {"1,|5", ErrorCode::kBadParameter},
      {"[FILE]|,=,\"a.txt\"", ErrorCode::kBadParameter},
      {"1,5,A,=,\"x\"|@1,2,A,=,\"y\"", ErrorCode::kBadParameter},
      {"1,5,A,=,|\"x", ErrorCode::kBadParameter}, {"1,5,A,=,|[NAME]", ErrorCode::kBadParameter},
      {"1,5,A,=,|", ErrorCode::kBadParameter},  {"1,5,A,=,2,|0,A", ErrorCode::kBadParameter},
      {"|x,5,A,=,\"x\"", ErrorCode::kNotDigits}, {"1,|-5,A,=,\"x\"", ErrorCode::kNotDigits},
      {"1,|" + kA + ",A,=,\"x\"", ErrorCode::kNotDigits},
      {"1,5,A,=,3,|x,A", ErrorCode::kNotDigits},
      {"1,5,A,=,|\"\"", ErrorCode::kTypeMismatch}, {"1,5,A,=,3,2,|N", ErrorCode::kTypeMismatch},
      {"1,5,A,=,|[IN_LINE]", ErrorCode::kTypeMismatch},
      {"1,5,N,=,|[FILE]", ErrorCode::kTypeMismatch},
      {"1,5,|B,=,\"x\"", ErrorCode::kBadFieldType}, {"1,5,|,=,\"x\"", ErrorCode::kBadFieldType},
      {"1,5,|N,==,\"1\"", ErrorCode::kBadFieldType},  // "contains" is for strings
      {"1,5,N,>,|[IN_LINE]", ErrorCode::kBadFieldType},
      {"1,5,AX,=,3,2,|AX", ErrorCode::kBadFieldType}, {"1,5,A,=,3,2,|AY", ErrorCode::kBadFieldType},
      {"1,5,A,|= =,\"x\"", ErrorCode::kBadOperator}, {"1,5,A,|,\"x\"", ErrorCode::kBadOperator},
      {"1,5,A,| =!,\"x\"", ErrorCode::kBadOperator}, {"1,5,|A", ErrorCode::kBadOperator},
  };
  for (const auto& [value, code] : cases) {
    ExpectFirstError("INP = in.txt\nSEL = \"ok\"\nSEL = " + value + "\n", code, 3);
  }
}

TEST(ConditionSyntaxTest, ThirtyTermsAtMost) {
  std::string thirty = "\"t\"";
  for (int i = 1; i < kMaxTerms; ++i) thirty += " & 1,1,A,=,\"t\"";
  Condition c;
  EXPECT_EQ(Parse(thirty, c), ErrorCode::kNone);
  EXPECT_EQ(c.terms.size(), 30u);
  ExpectFirstError("SEL = " + thirty + " & |\"u\"", ErrorCode::kTooManyTerms, 1);
  // After "@" in an edit definition the same limit has its own code.
  Condition edit;
  EXPECT_EQ(Parse(thirty + " & \"u\"", edit, ErrorCode::kTooManyEditTerms),
            ErrorCode::kTooManyEditTerms);
}

}  // namespace
