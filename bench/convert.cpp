// Speed of the UTF-8 <-> code page 932 converter (platform/Cp932Unicode.h) record by
// record, as the record loop calls it: each line without its CR LF, into one reused
// buffer. Prints MB/s of input for both directions, block path and scalar path.
//
//   rux_convert_bench twin <cp932-file> <utf8-file>        writes the UTF-8 twin
//   rux_convert_bench speed <cp932-file> <utf8-file> [runs]
//   rux_convert_bench floor <utf8-file>...
//
// `floor` measures what no table converter can go below on a text: its characters beyond
// ASCII decoded beforehand, each one's look-up in a table of 64 Ki two-byte entries and
// the store of the result, nothing else (no reading of UTF-8, no ASCII, no output text).
// Either direction looks up each such character once, so the floor of a job is that of
// its input plus that of its output.
// The twin is written with the converter itself, line by line; CR LF stay.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Cp932Unicode.h"
#include "platform/Utf8.h"

namespace {

bool ReadFile(const char* path, std::string& out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  return std::fclose(f) == 0;
}

// The records of a text: each line without its LF and a CR before it.
std::vector<std::string_view> Records(std::string_view text) {
  std::vector<std::string_view> records;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    size_t len = end - start;
    if (len > 0 && text[end - 1] == '\r') --len;
    records.push_back(text.substr(start, len));
    start = end + 1;
  }
  return records;
}

int Twin(const char* from, const char* to) {
  std::string cp932, utf8;
  if (!ReadFile(from, cp932)) return std::perror(from), 1;
  utf8.reserve(cp932.size() * 3 / 2);
  const size_t blanks = cp932::AppendToUtf8(cp932, utf8);
  FILE* f = std::fopen(to, "wb");
  if (!f || std::fwrite(utf8.data(), 1, utf8.size(), f) != utf8.size() || std::fclose(f) != 0)
    return std::perror(to), 1;
  std::printf("%s: %zu bytes, %zu bytes written as blanks\n", to, utf8.size(), blanks);
  return 0;
}

// Best time of `runs` passes of `convert` over all records, in seconds.
template <typename Convert>
double Best(const std::vector<std::string_view>& records, int runs, Convert convert) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    size_t sink = 0;
    for (std::string_view rec : records) sink += convert(rec);
    const std::chrono::duration<double> t = std::chrono::steady_clock::now() - t0;
    if (sink == 0) std::puts("");  // keeps the work
    best = std::min(best, t.count());
  }
  return best;
}

void Report(const char* what, size_t size, double seconds) {
  const double bytes = static_cast<double>(size);
  std::printf("%-34s %9.0f MB/s  (%.3f s for %.0f MB)\n", what, bytes / seconds / 1e6, seconds, bytes / 1e6);
}

size_t TotalBytes(const std::vector<std::string_view>& records) {
  size_t n = 0;
  for (std::string_view r : records) n += r.size();
  return n;
}

int Speed(const char* cp932Path, const char* utf8Path, int runs) {
  std::string cp932Text, utf8Text;
  if (!ReadFile(cp932Path, cp932Text)) return std::perror(cp932Path), 1;
  if (!ReadFile(utf8Path, utf8Text)) return std::perror(utf8Path), 1;
  const auto cpRecords = Records(cp932Text), u8Records = Records(utf8Text);
  size_t longest = 0;
  for (std::string_view r : cpRecords) longest = std::max(longest, r.size());
  for (std::string_view r : u8Records) longest = std::max(longest, r.size());
  std::vector<char> out(cp932::MaxUtf8Size(longest));
  const auto fromUtf8 = [&](auto convert) {
    return Best(u8Records, runs, [&](std::string_view r) { return convert(r, out.data(), cp932::Unmappable::kStop).written; });
  };
  const auto toUtf8 = [&](auto convert) {
    return Best(cpRecords, runs, [&](std::string_view r) { return convert(r, out.data()).written; });
  };
  std::printf("records: %zu code page 932 (%zu bytes), %zu UTF-8 (%zu bytes); best of %d runs\n", cpRecords.size(),
              TotalBytes(cpRecords), u8Records.size(), TotalBytes(u8Records), runs);
  if (cp932::wide::Available()) {
    Report("UTF-8 -> code page 932, wide", TotalBytes(u8Records),
           fromUtf8([](auto... a) { return cp932::wide::FromUtf8(a...); }));
  }
  Report("UTF-8 -> code page 932, block", TotalBytes(u8Records),
         fromUtf8([](auto... a) { return cp932::block::FromUtf8(a...); }));
  Report("UTF-8 -> code page 932, scalar", TotalBytes(u8Records),
         fromUtf8([](auto... a) { return cp932::scalar::FromUtf8(a...); }));
  if (cp932::wide::Available()) {
    Report("code page 932 -> UTF-8, wide", TotalBytes(cpRecords),
           toUtf8([](auto... a) { return cp932::wide::ToUtf8(a...); }));
  }
  Report("code page 932 -> UTF-8, block", TotalBytes(cpRecords),
         toUtf8([](auto... a) { return cp932::block::ToUtf8(a...); }));
  Report("code page 932 -> UTF-8, scalar", TotalBytes(cpRecords),
         toUtf8([](auto... a) { return cp932::scalar::ToUtf8(a...); }));
  return 0;
}

int Floor(const char* path) {
  std::string text;
  if (!ReadFile(path, text)) return std::perror(path), 1;
  // (A byte that is not UTF-8 counts as a character of its own, looked up too.)
  std::vector<uint16_t> codePoints;
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++characters) {
    char32_t u = static_cast<unsigned char>(text[i]);
    const size_t length = utf8::DecodeChar(text, i, u);
    if (u >= 0x80) codePoints.push_back(static_cast<uint16_t>(u));
    i += length == 0 ? 1 : length;
  }
  // The entries' values do not matter, only that each look-up is one load.
  std::vector<uint16_t> table(0x10000);
  for (size_t u = 0; u < table.size(); ++u) table[u] = static_cast<uint16_t>(u * 40503u);
  std::vector<uint16_t> out(codePoints.size());
  double best = 1e30;
  for (int r = 0; r < 5; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    for (size_t k = 0; k < codePoints.size(); ++k) out[k] = table[codePoints[k]];
    const std::chrono::duration<double> t = std::chrono::steady_clock::now() - t0;
    best = std::min(best, t.count());
  }
  size_t sink = 0;
  for (size_t k = 0; k < out.size(); k += 4096) sink += out[k];
  if (sink == 1) std::puts("");  // keeps the work
  std::printf("%s: %zu bytes, %zu characters, %zu beyond ASCII; their look-ups alone: %.3f s (%.2f ns each)\n",
              path, text.size(), characters, codePoints.size(), best,
              codePoints.empty() ? 0.0 : best * 1e9 / static_cast<double>(codePoints.size()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "twin" && argc == 4) return Twin(argv[2], argv[3]);
  if (mode == "floor" && argc >= 3) {
    for (int k = 2; k < argc; ++k)
      if (Floor(argv[k]) != 0) return 1;
    return 0;
  }
  if (mode == "speed" && (argc == 4 || argc == 5)) return Speed(argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 5);
  std::fprintf(stderr,
               "usage: rux_convert_bench twin <cp932-file> <utf8-file>\n"
               "       rux_convert_bench speed <cp932-file> <utf8-file> [runs]\n"
               "       rux_convert_bench floor <utf8-file>...\n");
  return 2;
}
