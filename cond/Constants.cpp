// STUB: to be implemented.
#include "cond/SyntaxCheck.h"
#include "value/ValueEdit.h"
bool CSyntaxCheck::LookupConstant(std::string_view, std::string&, std::string&, int& e) const { e = 10; return true; }
void CValueEdit::GetConstantValue(std::string_view, std::string_view, int, int, std::string&) const {}
