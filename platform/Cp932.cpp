// STUB: to be implemented.
#include "platform/Cp932.h"
namespace cp932 {
std::string_view TrimLeft(std::string_view t) { return t; }
std::string_view TrimRight(std::string_view t) { return t; }
void TrimLeftInPlace(std::string&) {}
void TrimRightInPlace(std::string&) {}
size_t FindAligned(std::string_view h, std::string_view n, size_t from) { return h.find(n, from); }
size_t FindChar(std::string_view t, char c, size_t from) { return t.find(c, from); }
int Compare(std::string_view l, std::string_view r) { return l.compare(r); }
unsigned ToUpperChar(unsigned char c1, unsigned char) { return c1; }
unsigned ToLowerChar(unsigned char c1, unsigned char) { return c1; }
void UpperInPlace(std::string&) {}
void LowerInPlace(std::string&) {}
void UpperInto(std::string_view s, std::string& d) { d.assign(s); }
}  // namespace cp932
