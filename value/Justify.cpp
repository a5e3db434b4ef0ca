// Justification by trimming side.
#include "value/Justify.h"

#include "platform/Cp932.h"

namespace {

constexpr std::string_view kWideBlank = "\x81\x40";

// True when byte offset p of `text` starts a character. A byte outside the
// lead-byte ranges always ends a character, so only the run of lead-range
// bytes just before p decides: an even run pairs up before p.
bool StartsCharacter(std::string_view text, size_t p) {
  size_t q = p;
  while (q > 0 && cp932::IsLeadByte(static_cast<unsigned char>(text[q - 1]))) --q;
  return ((p - q) & 1) == 0;
}

}  // namespace

std::string_view Justify(TrimSide side, std::string_view value) {
  if (side == TrimSide::kRight || side == TrimSide::kBoth) {
    value = cp932::TrimRight(value);
    // Only a whole full-width blank goes: in "...\x82\x81" + "@" the last two
    // bytes look like one, but 0x81 is the second byte of "ｂ".
    while (value.ends_with(kWideBlank) && StartsCharacter(value, value.size() - 2)) {
      value.remove_suffix(2);
    }
  }
  if (side == TrimSide::kLeft || side == TrimSide::kBoth) {
    value = cp932::TrimLeft(value);
    while (value.starts_with(kWideBlank)) value.remove_prefix(2);
  }
  return value;
}
