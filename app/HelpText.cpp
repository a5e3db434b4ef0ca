// STUB: to be implemented.
#include "app/HelpText.h"
std::string_view HelpLine(int) { return {}; }
