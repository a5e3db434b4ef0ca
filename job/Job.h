// The parsed job: everything a parameter file says, read once by JobReader
// and from then on only read. Workers on several threads may share one Job.
//
// Every statement kind has a value type of its own; texts that decide
// behaviour (types, operators, keywords, options) are decoded into enums
// when read, and quoted numbers are read once. Each SEL group and edit
// definition keeps the parameter-file line it came from, for diagnostics.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "value/Conversion.h"
#include "value/Justify.h"
#include "value/Numeric.h"

// Limits of the parameter language.
constexpr int kMaxGroups = 300;       // SEL statements
constexpr int kMaxTerms = 30;         // AND terms of one SEL or "@" list
constexpr int kMaxDefinitions = 300;  // edit statements

enum class ProcessingType : uint8_t { kCopy, kChange, kEdit, kCsv };

// Letters of the OPT statement.
enum class Option : uint8_t {
  kLenientFields,   // S: a field beyond the record is no error
  kIgnoreCase,      // U: string comparisons and searches ignore letter case
  kTrimTrailing,    // T: blanks at the end of a built line are removed
  kCsvHeader,       // H: CSV writes a header line per input file
  kNoNumericCheck,  // N: values of type N are not tested
};

class OptionSet {
 public:
  bool Has(Option option) const { return (bits_ & Bit(option)) != 0; }
  void Add(Option option) { bits_ = static_cast<uint8_t>(bits_ | Bit(option)); }

 private:
  static uint8_t Bit(Option option) { return static_cast<uint8_t>(1u << static_cast<int>(option)); }
  uint8_t bits_ = 0;
};

// The built-in constants. kInLine and kOutLine are whole numbers, the others texts.
enum class Constant : uint8_t { kFile, kInLine, kOutLine, kYear, kMonth, kDay, kHour, kMinute, kSecond };

inline bool IsNumericConstant(Constant constant) {
  return constant == Constant::kInLine || constant == Constant::kOutLine;
}

// Type of a field: strings compared as they are (A), without blanks on the
// left (AL), the right (AR) or both sides (AT), or numbers (N).
enum class FieldType : uint8_t { kA, kAL, kAR, kAT, kN };

inline TrimSide TrimSideOf(FieldType type) {
  switch (type) {
    case FieldType::kAL: return TrimSide::kLeft;
    case FieldType::kAR: return TrimSide::kRight;
    case FieldType::kAT: return TrimSide::kBoth;
    default: return TrimSide::kNone;
  }
}

// A field of the record: `length` bytes from byte `position` (counted from 1).
struct FieldRef {
  int32_t position = 0;
  int32_t length = 0;
};

enum class CompareOp : uint8_t { kEq, kNe, kLt, kLe, kGt, kGe, kContains };

enum class TermKind : uint8_t {
  kSearchText,       // "text": the record contains the text
  kSearchConstant,   // [NAME]: the record contains the constant's value
  kCompareText,      // pos,len,type,op,"text"
  kCompareConstant,  // pos,len,type,op,[NAME]
  kCompareField,     // pos,len,type,op,pos,len,type
};

// One AND term of a condition.
struct Term {
  TermKind kind = TermKind::kSearchText;
  CompareOp op = CompareOp::kEq;
  FieldType leftType = FieldType::kA;
  FieldType rightType = FieldType::kA;  // kCompareField
  Constant constant = Constant::kFile;  // kSearchConstant, kCompareConstant
  FieldRef left;                        // the compare kinds
  FieldRef right;                       // kCompareField
  std::string text;                     // kSearchText: searched for; kCompareText: right operand
  // kCompareText with a numeric left type: the right operand tested and read once.
  bool textIsNumeric = false;
  double textNumber = 0.0;
  std::string written;  // the term as written, for diagnostics
};

// A list of AND terms; an empty list holds for every record.
struct Condition {
  std::vector<Term> terms;
};

// One SEL statement: an OR group.
struct SelectionGroup {
  Condition condition;
  int line = 0;
  std::string written;  // the statement as written, for diagnostics
};

// A quoted text, a built-in constant or (where allowed) a field of the record.
struct Operand {
  enum class Kind : uint8_t { kText, kConstant, kField };
  Kind kind = Kind::kText;
  std::string text;
  Constant constant = Constant::kFile;
  FieldRef field;
};

// How a value of EDIT or CSV becomes output text (before the conversion of
// its keyword), decided when the definition is read.
struct ValueForm {
  bool numeric = false;                // written as a number, by `format`
  numeric::NumFormat format;           // when numeric
  bool tested = false;                 // the value must pass the numeric test first
  TrimSide justify = TrimSide::kNone;  // an input field's justification
};

// CHANGE: EDT = search, replacement [@ condition].
struct ChangeDefinition {
  Operand search;       // text or constant
  Operand replacement;  // text or constant
  Condition condition;  // sees the record as the earlier definitions left it
  int line = 0;
  std::string written;
};

// EDIT: KEY = outpos,len,edittype,=,value [@ condition].
struct EditDefinition {
  Conversion conversion = Conversion::kNone;  // the keyword: EDT, UPP, LOW, NAR, WID
  FieldRef output;                            // where the value goes in the built line
  Operand value;
  // Numeric for edit type N; tested when the value is a text or a field of
  // type N; justified by the value field's type.
  ValueForm form;
  // EDT of a text placed as it is (edit type and value type A, no constant):
  // copied straight into the line.
  bool plain = false;
  Condition condition;  // sees the unchanged input record
  int line = 0;
  std::string written;
};

// CSV: KEY = value [, header].
struct CsvDefinition {
  Conversion conversion = Conversion::kNone;
  Operand value;
  // Numeric and tested for a field of type N and for [IN_LINE]/[OUT_LINE];
  // justified by the field's type.
  ValueForm form;
  Operand header;  // text (possibly empty) or constant
  int line = 0;
  std::string written;
};

struct Job {
  // INP and OUT/ADD as written; the pattern's last component may hold "*"
  // and "?".
  std::string inputPattern;
  int inputLine = 0;
  std::string outputPath;
  int outputLine = 0;
  bool append = false;      // ADD instead of OUT
  bool folderMode = false;  // the output value ends with "/" or a single-byte "\"
  // The command line named standard input or output ("-") instead.
  bool standardInput = false;
  bool standardOutput = false;

  ProcessingType type = ProcessingType::kCopy;
  OptionSet options;
  std::vector<SelectionGroup> selection;  // empty: every record is selected
  std::vector<ChangeDefinition> changes;  // under CHANGE
  std::vector<EditDefinition> edits;      // under EDIT
  std::vector<CsvDefinition> csv;         // under CSV
};

// True when a condition, value, search text, replacement or header of the
// job uses `constant`.
bool UsesConstant(const Job& job, Constant constant);

// Rewrites every quoted text of the job in the canonical code page 932 form
// (a character with two codes in the form Windows writes), the form records
// converted from UTF-8 take: so a text typed either way meets the data.
void CanonicalizeTexts(Job& job);

// The keyword of an edit statement of `conversion`: EDT, UPP, LOW, NAR, WID.
std::string_view KeywordOf(Conversion conversion);

// The SEL or edit statement read from parameter-file line `line`, as
// written; empty when there is none.
std::string_view StatementAt(const Job& job, int line);
