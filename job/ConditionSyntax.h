// The condition language: SEL statements and the condition lists after "@"
// in edit definitions, read into Condition values; and the field term
// ("pos,len,type,op,right") that SEL comparisons and EDIT definitions share.
#pragma once

#include <string>

#include "job/Error.h"
#include "job/Job.h"
#include "job/StatementText.h"

// One AND list of at most 30 terms, from the front of `text` to its end.
// `limitError` is the code of a 31st term (23 for SEL, 25 after "@"). On
// failure `condition` may hold the terms read before the failing one.
ErrorCode ParseCondition(StatementText& text, ErrorCode limitError, Condition& condition);

// The parts of "pos,len,type,op,right" as read, before the checks that
// depend on where the term stands.
struct FieldTermText {
  FieldRef left;
  std::string type;  // trimmed, upper case
  std::string op;    // trimmed, as written
  Operand right;     // text, constant or field
  // The right side's type: the field's type as written (trimmed, upper
  // case), a constant's type ("A", or "N.0" for the counters), "" for a text.
  std::string rightType;
  // Offsets in the line of the left length and type, to mark them when a
  // check made after the whole term is read fails.
  size_t lengthColumn = 0;
  size_t typeColumn = 0;
};

// Reads a field term from the front of `text` up to (not including) its
// separator: "&" in a SEL statement, "@" in an edit definition
// (`editDefinition`), where a constant may not stand on the left and the
// only operator is "=".
ErrorCode ReadFieldTerm(StatementText& text, bool editDefinition, FieldTermText& term);

inline char FirstChar(const std::string& text) { return text.empty() ? '\0' : text[0]; }
