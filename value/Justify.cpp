// STUB: to be implemented.
#include "value/ValueEdit.h"
void CValueEdit::JustifyValue(std::string_view, std::string&) const {}
std::string_view CValueEdit::JustifyView(std::string_view, std::string_view v) { return v; }
