// STUB: to be implemented.
#include "param/ConvParam.h"
int CConvParam::ParseSelStatement() { return 12; }
int CConvParam::ParseCondList(std::string&, CSelCond*, int) { return 10; }
