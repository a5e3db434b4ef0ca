// STUB: to be implemented.
#include "value/Numeric.h"
namespace numeric {
bool IsNumeric(std::string_view) { return true; }
double ReadNumber(std::string_view) { return 0; }
CNumFormat ParseNumFormat(std::string_view) { return {}; }
void FormatNumber(double, const CNumFormat&, std::string& out) { out.clear(); }
int MakeCanonicalEditType(std::string_view, std::string&, std::string_view) { return 17; }
}  // namespace numeric
