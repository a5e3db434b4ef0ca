// The run-time values of the built-in constants.
#include "record/Constants.h"

#include <gtest/gtest.h>

#include "platform/FakePlatform.h"

namespace {

constexpr long long k20010103At090507 = 978512707;  // 2001-01-03 09:05:07 UTC

std::string Value(Constant constant, const RecordContext& context) {
  std::string value = "previous";
  ConstantValue(constant, context, value);
  return value;
}

TEST(ConstantValue, DateAndTimeComeFromTheClockZeroPadded) {
  FakePlatform clock;
  clock.now = k20010103At090507;
  RecordContext context(clock);
  const std::pair<Constant, const char*> expected[] = {
      {Constant::kYear, "2001"}, {Constant::kMonth, "01"},  {Constant::kDay, "03"},
      {Constant::kHour, "09"},   {Constant::kMinute, "05"}, {Constant::kSecond, "07"}};
  for (const auto& [constant, text] : expected) {
    EXPECT_EQ(Value(constant, context), text) << static_cast<int>(constant);
  }
}

TEST(ConstantValue, ClockIsReadAtEveryUse) {
  FakePlatform clock;
  clock.now = k20010103At090507 + (86400 - 9 * 3600 - 5 * 60 - 7) - 1;  // 23:59:59
  clock.clockStep = 1;
  RecordContext context(clock);
  EXPECT_EQ(Value(Constant::kDay, context), "03");
  EXPECT_EQ(Value(Constant::kDay, context), "04");  // past midnight now
  EXPECT_EQ(Value(Constant::kSecond, context), "01");
}

TEST(ConstantValue, FileNameAndCountsOfTheContext) {
  FakePlatform clock;
  RecordContext context(clock);
  const std::string japaneseName = "\x95\x5C\x83\x41.txt";
  context.fileName = japaneseName;
  EXPECT_EQ(Value(Constant::kFile, context), japaneseName);
  EXPECT_EQ(Value(Constant::kInLine, context), "0");
  context.inCount = 1;
  context.outCount = 12345;
  EXPECT_EQ(Value(Constant::kInLine, context), "1");
  EXPECT_EQ(Value(Constant::kOutLine, context), "12345");
  context.inCount = 9876543210123;  // counts are 64-bit
  EXPECT_EQ(Value(Constant::kInLine, context), "9876543210123");

  // The caller's buffer is reused: no allocation once it has room.
  std::string value;
  value.reserve(64);
  const char* data = value.data();
  for (Constant constant : {Constant::kYear, Constant::kInLine, Constant::kFile}) {
    ConstantValue(constant, context, value);
    EXPECT_EQ(value.data(), data);
  }
}

}  // namespace
