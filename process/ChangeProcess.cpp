// STUB: to be implemented.
#include "param/ConvParam.h"
int CConvParam::ParseChangeStatement(const std::string&) { return 12; }
void CConvParam::ChangeRecord(int&, int, int, const std::string&) { m_strLine += '\n'; }
