// STUB: to be implemented.
#include "param/ConvParam.h"
void CConvParam::ProcessInputFile(const std::string&, const std::string&) {}
