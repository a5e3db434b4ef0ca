// STUB: to be implemented.
#include "app/RunDriver.h"
int RunMain(int, const char* const*, CPlatform&) { return 1; }
