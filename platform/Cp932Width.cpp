// STUB: to be implemented.
#include "platform/Cp932.h"
namespace cp932 {
void ToHalfWidth(std::string_view s, std::string& d) { d.assign(s); }
void ToFullWidth(std::string_view s, std::string& d) { d.assign(s); }
}  // namespace cp932
