// STUB: to be implemented.
#include "param/ConvParam.h"
int CConvParam::ParseCsvStatement(const std::string&) { return 12; }
void CConvParam::CsvRecord(int&, int, int, const std::string&) { m_strLine += '\n'; }
