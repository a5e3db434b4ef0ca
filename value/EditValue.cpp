// STUB: to be implemented.
#include "value/ValueEdit.h"
void CValueEdit::EditValue(std::string_view, std::string_view, int, std::string&) const {}
void CValueEdit::EditValue(std::string_view, const numeric::CNumFormat*, int, std::string&) const {}
