// Edit types of EDIT definitions: which forms are accepted, and the number
// format they give.
#include "job/DefinitionSyntax.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
    EXPECT_EQ(definition.numeric, c.spec != nullptr) << c.written;
    if (c.spec == nullptr) continue;
    const numeric::NumFormat expected = numeric::ParseNumFormat(c.spec);
    EXPECT_EQ(definition.format.plus, expected.plus) << c.written;
    EXPECT_EQ(definition.format.left, expected.left) << c.written;
    EXPECT_EQ(definition.format.zero, expected.zero) << c.written;
    EXPECT_EQ(definition.format.width, expected.width) << c.written;
    EXPECT_EQ(definition.format.precision, expected.precision) << c.written;
  }
}

// Value -> edit type -> formatted number, as EDIT does it.
std::string Edit(std::string_view value, const std::string& type, const std::string& length,
                 Conversion conversion = Conversion::kNone) {
  EditDefinition definition;
  EXPECT_EQ(ParseEditType(conversion, type, length, definition), ErrorCode::kNone) << type;
  std::string out;
  numeric::FormatNumber(numeric::ReadNumber(value), definition.format, out);
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
