// Justification of a field value: which sides lose their blanks. Each side
// first trims single-byte white space once, then removes whole full-width
// blanks (0x81 0x40); a half-width blank uncovered by the second step stays.
// Pure code on views: nothing is copied.
#pragma once

#include <cstdint>
#include <string_view>

enum class TrimSide : uint8_t { kNone, kLeft, kRight, kBoth };

// The part of `value` that justification keeps.
std::string_view Justify(TrimSide side, std::string_view value);
