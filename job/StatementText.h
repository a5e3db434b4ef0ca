// StatementText: the value of one statement being read, front to back, by
// the statement parsers. It is a view into the line, so the offset of what
// is left is always known: a parser marks the start of each item it reads,
// and when it fails, that mark tells a reader where (the caret of a
// diagnostic). Every search for a separator is character-aligned in code
// page 932, so the second byte of a double-byte character (0x95 0x5C,
// 0x83 0x41 ...) is never taken for one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "job/Error.h"
#include "job/Job.h"

class StatementText {
 public:
  // The statement value is `line` from byte `start` on.
  StatementText(std::string_view line, size_t start)
      : line_(line), rest_(line.substr(start)), offset_(start), mark_(start) {}

  std::string_view Rest() const { return rest_; }
  bool Empty() const { return rest_.empty(); }
  char Front() const { return rest_.empty() ? '\0' : rest_[0]; }
  size_t Offset() const { return offset_; }

  // Marks the start of the next item at the current position.
  void Mark() { mark_ = offset_; }
  // Marks an item read earlier, at `offset` in the line: for a check that
  // fails only once later items are read.
  void MarkAt(size_t offset) { mark_ = offset; }
  // Offset in the line of the item marked last.
  size_t MarkedOffset() const { return mark_; }
  // The line's bytes from `from` up to the current position, blanks at the end left out.
  std::string_view Since(size_t from) const;

  void Drop(size_t count);
  void TrimLeft();

  // The text before the first ","; empty when there is no comma.
  std::string_view BeforeComma() const;
  // Drops the text through the first ","; without a comma nothing is dropped.
  void DropThroughComma();
  // The text before the first `c` (all of it when there is none), dropped.
  std::string_view TakeUntil(char c);

  // The quoted-text rule, the opening quote already dropped: reads up to the
  // closing quote (a doubled quote stands for one) into `out` and drops it.
  // False when there is no closing quote.
  bool ReadQuoted(std::string& out);

  // "[NAME]" at the front: the name is the text before the first "]" (empty
  // when there is none), looked up case-blind and untrimmed. 10 when it names
  // no constant.
  ErrorCode ReadConstant(Constant& constant);

  // After a term: nothing (the list ends) or `separator` followed by more.
  // A separator with nothing after it, or any other text, is 10. Marks what
  // follows the blanks after the term.
  ErrorCode ApplySeparatorRule(char separator);

 private:
  std::string_view line_;
  std::string_view rest_;
  size_t offset_;
  size_t mark_;
};

// A quoted text or a "[CONSTANT]" at the front of `text`, marked and read
// into `operand` (kind kText or kConstant); 10 for a quoted text without
// its closing quote, an unknown constant or anything else.
ErrorCode ReadQuotedOrConstant(StatementText& text, Operand& operand);

// "pos,len," at the front of `text`: the position and the length, each
// marked before it is read (10 or 14 for either, see ReadPositiveNumber),
// and the commas after them dropped.
ErrorCode ReadPositionAndLength(StatementText& text, FieldRef& field);

// A built-in constant by name: case-blind, never trimmed ("[ FILE ]" is not
// a constant). False when the name is none of them.
bool LookupConstant(std::string_view name, Constant& constant);

// A position or length: digits only after trimming (else 14), not 0 or
// empty (else 10), within a 32-bit signed integer (else 14).
ErrorCode ReadPositiveNumber(std::string_view text, int32_t& value);

// A field type: exactly "A", "AL", "AR", "AT" or "N" (already trimmed and
// upper-cased); else 18.
ErrorCode ReadFieldType(std::string_view text, FieldType& type);

// The value a word stands for in `table` (exact match); false when the word
// is not there. One table per set of keywords, operators or types.
template <typename Value, size_t N>
bool LookUpWord(std::string_view word, const std::pair<std::string_view, Value> (&table)[N],
                Value& value) {
  for (const auto& [text, meaning] : table) {
    if (word == text) {
      value = meaning;
      return true;
    }
  }
  return false;
}

// Trimmed on both sides and upper-cased (a-z and double-byte letters).
std::string TrimUpper(std::string_view text);
