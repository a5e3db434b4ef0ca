#include <gtest/gtest.h>

#include <cctype>

#include "cond/SyntaxCheck.h"
#include "platform/FakePlatform.h"
#include "value/ValueEdit.h"

namespace {

constexpr long long k20010103At090507 = 978512707;  // 2001-01-03 09:05:07 UTC

TEST(ConstantLookup, NamesAreCaseBlindButNeverTrimmed) {
  CSyntaxCheck syntax;
  const std::pair<const char*, const char*> known[] = {
      {"file", "A"},  {"File", "A"}, {"FILE", "A"}, {"in_line", "N.0"}, {"OUT_LINE", "N.0"},
      {"yyyy", "A"},  {"Mm", "A"},   {"dD", "A"},   {"ho", "A"},        {"MI", "A"},
      {"se", "A"}};
  for (const auto& [name, expectedType] : known) {
    std::string type, canonical;
    int error = 0;
    ASSERT_FALSE(syntax.LookupConstant(name, type, canonical, error)) << name;
    EXPECT_EQ(type, expectedType) << name;
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(canonical, upper);
    EXPECT_EQ(error, 0);
  }

  // Full-width "FILE" (ＦＩＬＥ), blanks, unknown and empty names are no constants,
  // and a failed look-up leaves the outputs alone.
  for (std::string_view bad : {" FILE ", "FILE ", "NOW", "", "FILES", "OUT_LINES",
                               "\x82\x65\x82\x68\x82\x6b\x82\x64", "IN-LINE"}) {
    std::string type = "keep", canonical = "keep";
    int error = 0;
    EXPECT_TRUE(syntax.LookupConstant(bad, type, canonical, error)) << bad;
    EXPECT_EQ(error, 10);
    EXPECT_EQ(type, "keep");
    EXPECT_EQ(canonical, "keep");
  }
}

TEST(ConstantValue, DateTimePartsComeFromTheClockZeroPadded) {
  FakePlatform fake;
  fake.now = k20010103At090507;
  CValueEdit edit(&fake);
  const std::pair<const char*, const char*> expected[] = {
      {"YYYY", "2001"}, {"MM", "01"}, {"DD", "03"}, {"HO", "09"}, {"MI", "05"}, {"SE", "07"}};
  for (const auto& [name, text] : expected) {
    std::string value = "previous";
    edit.GetConstantValue(name, "in.txt", 1, 0, value);
    EXPECT_EQ(value, text) << name;
  }
}

TEST(ConstantValue, ClockIsReadAtEveryCall) {
  FakePlatform fake;
  fake.now = k20010103At090507 + (86400 - 9 * 3600 - 5 * 60 - 7) - 1;  // 23:59:59
  fake.clockStep = 1;
  CValueEdit edit(&fake);
  std::string value;
  edit.GetConstantValue("DD", "", 0, 0, value);
  EXPECT_EQ(value, "03");
  edit.GetConstantValue("DD", "", 0, 0, value);  // past midnight now
  EXPECT_EQ(value, "04");
  edit.GetConstantValue("SE", "", 0, 0, value);
  EXPECT_EQ(value, "01");
}

TEST(ConstantValue, FileAndCountersAndUnknownNames) {
  FakePlatform fake;
  CValueEdit edit(&fake);
  std::string value;
  edit.GetConstantValue("FILE", "Sales01.txt", 1, 0, value);
  EXPECT_EQ(value, "Sales01.txt");
  const std::string japaneseName = "\x95\x5C\x83\x41.txt";
  edit.GetConstantValue("FILE", japaneseName, 1, 0, value);
  EXPECT_EQ(value, japaneseName);
  edit.GetConstantValue("IN_LINE", "x", 1, 0, value);
  EXPECT_EQ(value, "1");
  edit.GetConstantValue("OUT_LINE", "x", 1, 0, value);
  EXPECT_EQ(value, "0");
  edit.GetConstantValue("IN_LINE", "x", 2147483647, 0, value);
  EXPECT_EQ(value, "2147483647");
  edit.GetConstantValue("OUT_LINE", "x", 0, 12345, value);
  EXPECT_EQ(value, "12345");

  value = "unchanged";
  edit.GetConstantValue("NOW", "x", 1, 1, value);
  EXPECT_EQ(value, "unchanged");
}

TEST(ConstantValue, ReusesTheCapacityOfTheValue) {
  FakePlatform fake;
  fake.now = k20010103At090507;
  CValueEdit edit(&fake);
  std::string value;
  value.reserve(64);
  const char* data = value.data();
  for (const char* name : {"YYYY", "SE", "IN_LINE", "OUT_LINE", "FILE"}) {
    edit.GetConstantValue(name, "input-file-name.txt", 42, 7, value);
    EXPECT_EQ(value.data(), data) << name;
  }
}

}  // namespace
