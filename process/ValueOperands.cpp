// STUB: to be implemented.
#include "cond/SyntaxCheck.h"
void CSyntaxCheck::ParseValueOperands(std::string&, std::string&, std::string&, std::string&, std::string&, std::string&, std::string&, std::string_view, int& e) const { e = 10; }
