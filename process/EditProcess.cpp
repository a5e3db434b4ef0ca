// STUB: to be implemented.
#include "param/ConvParam.h"
int CConvParam::ParseEditStatement(const std::string&) { return 12; }
void CConvParam::EditRecord(int&, int, int, const std::string&) { m_strLine += '\n'; }
