// The program's error codes and the one table of their texts. Every failure
// the program reports is one of these codes; the Japanese message is what
// the console shows (code page 932 bytes), the English line is for people
// reading standard error.
#pragma once

#include <string>
#include <string_view>

enum class ErrorCode : int {
  kNone = 0,
  kBadParameter = 10,         // a value does not follow the syntax
  kFileSetTwice = 11,         // a second INP, or a second OUT/ADD
  kBadStatement = 12,         // unknown keyword, bad FUNCTION, edit before FUNCTION
  kEditNotAllowed = 13,       // an edit statement under FUNCTION = COPY
  kNotDigits = 14,            // a position or length that is not all digits
  kBadFileSettings = 15,      // INP or OUT missing, or both naming one file
  kTypeMismatch = 16,         // the two sides of a comparison have different types
  kBadEditType = 17,
  kBadFieldType = 18,
  kBadOperator = 19,
  kFieldBeyondRecord = 20,
  kValueTooLong = 21,
  kTooManyGroups = 22,        // more than 300 SEL statements
  kTooManyTerms = 23,         // more than 30 AND terms in one SEL
  kTooManyDefinitions = 24,   // more than 300 edit statements
  kTooManyEditTerms = 25,     // more than 30 AND terms after "@"
  kNotNumeric = 26,
  kOddWideLength = 27,        // WID of a number with an odd length
  kNotCp932 = 28,             // input data that is not UTF-8, or a character without a code page 932 form
  kParameterFileFailed = 90,  // the parameter file cannot be opened or read, or is too large
  kOutputFailed = 91,         // an output cannot be opened, used, written or stored
  kInputFailed = 92,          // an input cannot be opened, used or read, or none matches
};

// The message the console shows for `code`, code page 932; empty for kNone.
std::string_view ErrorMessage(ErrorCode code);
// The same message in English, for diagnostics on standard error.
std::string_view EnglishErrorMessage(ErrorCode code);
// The number a report shows (10 ... 92).
inline int ErrorNumber(ErrorCode code) { return static_cast<int>(code); }

// `text` in double quotes, as the English diagnostics and the report of
// --check name paths and patterns.
inline std::string InQuotes(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.push_back('"');
  quoted.append(text);
  quoted.push_back('"');
  return quoted;
}
