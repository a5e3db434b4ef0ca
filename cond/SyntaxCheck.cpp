// STUB: to be implemented.
#include "cond/SyntaxCheck.h"
bool CSyntaxCheck::CheckNumber(std::string_view, int& e, int&) const { e = 14; return true; }
bool CSyntaxCheck::CheckCompareType(std::string_view, int& e) const { e = 18; return true; }
bool CSyntaxCheck::CheckOperator(std::string_view, std::string_view, int& e) const { e = 19; return true; }
bool CSyntaxCheck::CheckEditType(std::string_view, std::string&, std::string_view, int& e) const { e = 17; return true; }
bool CSyntaxCheck::CheckNumeric(std::string_view, int&) const { return false; }
void CSyntaxCheck::ParseCondTerm(std::string&, int&, int&, std::string&, std::string&, int&, int&, std::string&, std::string&, std::string&, std::string&, std::string_view, int& e) const { e = 10; }
bool ReadQuoted(std::string&, std::string&) { return false; }
