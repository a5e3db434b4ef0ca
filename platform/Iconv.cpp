#include "platform/Iconv.h"

#include "platform/Cp932.h"

Iconv::Iconv(const char* to, const char* from)
    : cd_(iconv_open(to, from)), ok_(cd_ != reinterpret_cast<iconv_t>(-1)) {}

Iconv::~Iconv() {
  if (ok_) iconv_close(cd_);
}

bool Iconv::Convert(std::string_view in, std::string& out) const {
  if (cp932::IsAscii(in)) {
    out.assign(in);
    return true;
  }
  if (!ok_) return false;
  // Neither direction used here makes more than 3 bytes of one input byte.
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0)
    return false;
  if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
  out.resize(out.size() - dstLeft);
  return true;
}

void Iconv::ConvertLossy(std::string_view in, std::string& out) const {
  out.clear();
  std::string part;
  size_t i = 0;
  while (i < in.size()) {
    size_t len = cp932::CharLen(in, i);
    // Convert runs of characters at once; fall back per character on failure.
    size_t j = i;
    while (j < in.size() && j - i < 4096) j += cp932::CharLen(in, j);
    if (Convert(in.substr(i, j - i), part)) {
      out += part;
      i = j;
      continue;
    }
    out += Convert(in.substr(i, len), part) ? part : std::string("?");
    i += len;
  }
}

const Iconv& IconvCp932ToUtf8() {
  static const Iconv conv("UTF-8", "CP932");
  return conv;
}

const Iconv& IconvUtf8ToCp932() {
  static const Iconv conv("CP932", "UTF-8");
  return conv;
}
