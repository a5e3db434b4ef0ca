// STUB: to be implemented.
#include "param/ConvParam.h"
void CConvParam::ReadStatement(std::string_view) { m_nErr = 12; }
