// The error table as reports use it: every code a report shows has a
// Japanese message of its own, in code page 932 (what the console shows),
// and an English line of its own for standard error.
#include "job/Error.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Iconv.h"

namespace {

// Every code a report can show: 10 to 27, 90 to 92.
std::vector<ErrorCode> ReportedCodes() {
  std::vector<ErrorCode> codes;
  for (int n = 10; n <= 27; ++n) codes.push_back(static_cast<ErrorCode>(n));
  for (int n = 90; n <= 92; ++n) codes.push_back(static_cast<ErrorCode>(n));
  return codes;
}

std::string ToUtf8(std::string_view cp932) {
  std::string utf8;
  if (!IconvCp932ToUtf8().Convert(cp932, utf8)) return "(not code page 932)";
  return utf8;
}

TEST(ErrorTable, EveryReportedCodeHasItsOwnTexts) {
  std::set<std::string_view> japanese;
  std::set<std::string_view> english;
  for (ErrorCode code : ReportedCodes()) {
    const int number = ErrorNumber(code);
    const std::string_view message = ErrorMessage(code);
    EXPECT_FALSE(cp932::IsAscii(message)) << number;
    EXPECT_NE(ToUtf8(message), "(not code page 932)") << number;
    EXPECT_TRUE(japanese.insert(message).second) << number << " repeats another code's message";
    const std::string_view line = EnglishErrorMessage(code);
    EXPECT_FALSE(line.empty()) << number;
    EXPECT_TRUE(cp932::IsAscii(line)) << number;
    EXPECT_TRUE(english.insert(line).second) << number << " repeats another code's line";
  }
  EXPECT_TRUE(ErrorMessage(ErrorCode::kNone).empty());
  EXPECT_TRUE(EnglishErrorMessage(ErrorCode::kNone).empty());
  EXPECT_TRUE(ErrorMessage(static_cast<ErrorCode>(99)).empty());
}

// The literals below are UTF-8 (this file is compiled as it is): decoded,
// the code page 932 bytes of the table read as the message batch jobs know,
// half-width katakana (single bytes in code page 932) and full-width
// punctuation included.
TEST(ErrorTable, MessagesAreTheCodePage932FormOfTheirText) {
  EXPECT_EQ(ToUtf8(ErrorMessage(static_cast<ErrorCode>(20))),
            "指定したｶﾗﾑは入力ﾚｺｰﾄﾞ長を超えています");
  EXPECT_EQ(ToUtf8(ErrorMessage(static_cast<ErrorCode>(13))),
            "命令と編集定義が正しくないか、または命令が定義されていません");
  EXPECT_EQ(ToUtf8(ErrorMessage(static_cast<ErrorCode>(22))), "条件(OR)指定は最大300までです");
  EXPECT_EQ(ErrorNumber(static_cast<ErrorCode>(92)), 92);
}

}  // namespace
