// Justification of a field value by its type: "A" keeps it, "AL", "AR" and
// "AT" remove blanks on the left, the right or both sides. Each side first
// trims single-byte white space once, then removes whole full-width blanks
// (0x81 0x40); a half-width blank uncovered by the second step stays.
#include "platform/Cp932.h"
#include "value/ValueEdit.h"

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

std::string_view CValueEdit::JustifyView(std::string_view type, std::string_view value) {
  if (type == "A") return value;
  const std::string_view side = type.substr(0, 2);
  if (side == "AR" || side == "AT") {
    value = cp932::TrimRight(value);
    // Only a whole full-width blank goes: in "...\x82\x81" + "@" the last two
    // bytes look like one, but 0x81 is the second byte of "ｂ".
    while (value.ends_with(kWideBlank) && StartsCharacter(value, value.size() - 2)) {
      value.remove_suffix(2);
    }
  }
  if (side == "AL" || side == "AT") {
    value = cp932::TrimLeft(value);
    while (value.starts_with(kWideBlank)) value.remove_prefix(2);
  }
  return value;
}

void CValueEdit::JustifyValue(std::string_view type, std::string& value) const {
  const std::string_view kept = JustifyView(type, value);
  if (kept.empty()) {
    value.clear();
    return;
  }
  const size_t offset = static_cast<size_t>(kept.data() - value.data());
  const size_t length = kept.size();
  value.erase(offset + length);
  value.erase(0, offset);
}
