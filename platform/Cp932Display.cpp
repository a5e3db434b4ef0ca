// The tables are the output of tools/cp932_display_table.py: runs of codes
// (lead * 256 + trail) over the valid pairs. Codes with a trail byte that is
// not one are never in a run's meaning, so runs may span them; runs of the
// ambiguous table may also span codes without a Unicode form.
#include "platform/Cp932Display.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace cp932 {

namespace {

struct CodeRange {
  uint16_t first;
  uint16_t last;
};

constexpr CodeRange kUnicodeForm[] = {
    {0x8140, 0x81AC}, {0x81B8, 0x81BF}, {0x81C8, 0x81CE}, {0x81DA, 0x81E8}, {0x81F0, 0x81F7},
    {0x81FC, 0x81FC}, {0x824F, 0x8258}, {0x8260, 0x8279}, {0x8281, 0x829A}, {0x829F, 0x82F1},
    {0x8340, 0x8396}, {0x839F, 0x83B6}, {0x83BF, 0x83D6}, {0x8440, 0x8460}, {0x8470, 0x8491},
    {0x849F, 0x84BE}, {0x8740, 0x875D}, {0x875F, 0x8775}, {0x877E, 0x879C}, {0x889F, 0x9872},
    {0x989F, 0xEAA4}, {0xED40, 0xEEEC}, {0xEEEF, 0xEEFC}, {0xF040, 0xFC4B},
};

constexpr CodeRange kAmbiguous[] = {
    {0x814C, 0x814C}, {0x814E, 0x814E}, {0x815C, 0x815D}, {0x8161, 0x8161}, {0x8163, 0x8168},
    {0x817D, 0x8180}, {0x8182, 0x8182}, {0x8185, 0x818E}, {0x8198, 0x81A6}, {0x81A8, 0x81AB},
    {0x81B8, 0x81C9}, {0x81CB, 0x81FC}, {0x839F, 0x875D}, {0x8782, 0x8782}, {0x8784, 0x8784},
    {0x8790, 0x879C}, {0xEEEF, 0xEEF8}, {0xF040, 0xFA53}, {0xFA59, 0xFA5B},
};

template <size_t N>
bool InRanges(const CodeRange (&ranges)[N], unsigned code) {
  const CodeRange* found = std::upper_bound(
      std::begin(ranges), std::end(ranges), code,
      [](unsigned value, const CodeRange& range) { return value < range.first; });
  return found != std::begin(ranges) && code <= std::prev(found)->last;
}

}  // namespace

bool HasUnicodeForm(unsigned char lead, unsigned char trail) {
  return IsTrailByte(trail) && InRanges(kUnicodeForm, lead * 256u + trail);
}

bool IsAmbiguousWidth(unsigned char lead, unsigned char trail) {
  return HasUnicodeForm(lead, trail) && InRanges(kAmbiguous, lead * 256u + trail);
}

}  // namespace cp932
