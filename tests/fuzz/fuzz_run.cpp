// libFuzzer harness: one whole conversion run on the in-memory platform.
//
// The input is split at its first 0x00 0x00 pair: the bytes before it are the
// parameter file, the bytes after it the input file (no pair: everything is
// the parameter file and the input is empty). The input file is stored under
// the name the INP statement gives, with any wildcards made concrete, so that
// the run finds it; then the program runs exactly as `rux param.txt` would,
// with one of four data forms (code page 932; UTF-8 in and out; UTF-8 in with
// stand-ins; UTF-8 out with LF and a byte-order mark).
// Whatever the run prints or returns is fine; the sanitizers decide. Before
// the run, the input file's bytes, whole and line by line, go through each
// path of the converter in both directions, and the paths must agree with the
// scalar one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Program.h"
#include "platform/Cp932Unicode.h"
#include "platform/FakePlatform.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The value of the first INP statement in the parameter text, trimmed; empty
// when there is none.
std::string FindInpValue(std::string_view param) {
  size_t pos = 0;
  while (pos < param.size()) {
    size_t end = param.find('\n', pos);
    if (end == std::string_view::npos) end = param.size();
    std::string_view line = param.substr(pos, end - pos);
    pos = end + 1;
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (line.size() - i < 3) continue;
    std::string key(line.substr(i, 3));
    for (char& c : key) c = static_cast<char>(c & ~0x20);
    if (key != "INP") continue;
    size_t eq = line.find('=', i + 3);
    if (eq == std::string_view::npos) continue;
    size_t b = eq + 1;
    size_t e = line.size();
    while (b < e && IsBlank(line[b])) ++b;
    while (e > b && IsBlank(line[e - 1])) --e;
    return std::string(line.substr(b, e - b));
  }
  return std::string();
}

// The converter's paths against the scalar one on any bytes; a difference stops the fuzzer.
void CheckConverterPaths(std::string_view text) {
  std::vector<char> a(cp932::MaxUtf8Size(text.size())), b(a.size());
  for (cp932::Unmappable policy : {cp932::Unmappable::kStop, cp932::Unmappable::kReplace}) {
    const cp932::FromUtf8Result expected = cp932::scalar::FromUtf8(text, a.data(), policy);
    for (auto path : {cp932::block::FromUtf8, cp932::FromUtf8}) {
      const cp932::FromUtf8Result r = path(text, b.data(), policy);
      if (r.written != expected.written || r.problem != expected.problem || r.column != expected.column ||
          r.replaced != expected.replaced || std::string_view(a.data(), r.written) != std::string_view(b.data(), r.written))
        __builtin_trap();
    }
  }
  const cp932::ToUtf8Result expected = cp932::scalar::ToUtf8(text, a.data());
  for (auto path : {cp932::block::ToUtf8, cp932::ToUtf8}) {
    const cp932::ToUtf8Result r = path(text, b.data());
    if (r.written != expected.written || r.blanks != expected.blanks ||
        std::string_view(a.data(), r.written) != std::string_view(b.data(), r.written))
      __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t split = all.find(std::string_view("\0\0", 2));
  std::string_view param = all.substr(0, split);
  std::string_view input =
      split == std::string_view::npos ? std::string_view() : all.substr(split + 2);

  // The whole file, and each line as the record loop converts it (one bad byte elsewhere
  // sends a whole text to the block path).
  CheckConverterPaths(input);
  for (size_t at = 0; at < input.size();) {
    const size_t end = std::min(input.find('\n', at), input.size());
    CheckConverterPaths(input.substr(at, end - at));
    at = end + 1;
  }

  FakePlatform platform;
  platform.SetFile("param.txt", std::string(param));

  std::string name = FindInpValue(param);
  // The fake's wildcard matcher backtracks (exponential in the number of
  // "*"); the real one does not. Many stars would only time out the fake.
  if (std::count(name.begin(), name.end(), '*') > 4) return 0;
  std::string concrete;
  for (char c : name) {
    if (c == '*') continue;
    concrete += c == '?' ? 'x' : c == '\\' ? '/' : c;
  }
  if (concrete.empty() || concrete.back() == '/') concrete += "in.txt";
  if (concrete != "param.txt") platform.SetFile(concrete, std::string(input));

  // The data's form, chosen by the input's length, so the UTF-8 paths (the
  // record input, stand-ins, the writer's conversion and LF) meet every
  // parameter file and input file the fuzzer makes.
  const char* forms[][3] = {{nullptr, nullptr, nullptr},
                            {"--encoding=utf-8", nullptr, nullptr},
                            {"--input-encoding=utf-8", "--unmappable=replace", nullptr},
                            {"--output-encoding=utf-8", "--newline=lf", "--bom"}};
  const char* const* form = forms[size % 4];
  const char* argv[6] = {"rux"};
  int argc = 1;
  for (int i = 0; i < 3 && form[i] != nullptr; ++i) argv[argc++] = form[i];
  argv[argc++] = "param.txt";
  argv[argc] = nullptr;
  RunMain(argc, argv, platform);
  return 0;
}
