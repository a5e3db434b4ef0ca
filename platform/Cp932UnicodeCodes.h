// Code page 932 codes as the converter's tables index them: which lead bytes
// there are and where their rows lie. Internal to the converter
// (Cp932Unicode.cpp, Cp932ToUtf8.cpp), usable in compile-time table builders.
#pragma once

#include "platform/Cp932UnicodeTables.h"

namespace cp932 {
namespace codes {

namespace tb = tables;

constexpr int LeadIndex(unsigned lead) { return lead <= 0x9F ? int(lead) - 0x81 : int(lead) - 0xE0 + 31; }
constexpr unsigned LeadOf(int index) { return index < 31 ? 0x81u + index : 0xE0u + (index - 31); }
// cp932::IsLeadByte with one comparison, usable in the compile-time table builders:
// flipping bit 5 moves 0x81-0x9F to 0xA1-0xBF and 0xE0-0xFC to 0xC0-0xDC, one range.
constexpr bool IsLead(unsigned b) { return ((b ^ 0x20u) - 0xA1u) < 0x3Cu; }

}  // namespace codes
}  // namespace cp932
