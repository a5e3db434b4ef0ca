// STUB: to be implemented.
#include "param/ConvParam.h"
std::string CConvParam::GetErrorMessage(int) { return {}; }
