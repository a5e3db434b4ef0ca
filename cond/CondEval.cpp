// STUB: to be implemented.
#include "param/ConvParam.h"
bool CConvParam::IsRecordSelected(int&, int, int, const std::string&) { return true; }
bool CConvParam::EvaluateCondList(const CSelCond*, int&, int, int, const std::string&) { return true; }
bool CConvParam::EvaluateCondTerm(const CSelCond&, int, int, const std::string&, int&) { return true; }
