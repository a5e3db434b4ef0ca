// A read-only File over bytes in memory: text that the program prepared
// itself (a parameter file converted from UTF-8) is read through the same
// text-mode reader as a file on disk, with the same line rules.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/Platform.h"

class MemoryFile : public File {
 public:
  explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}

  long long Read(char* buffer, size_t size) override {
    const size_t n = std::min(size, bytes_.size() - pos_);
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<long long>(n);
  }
  bool Write(const char*, size_t) override { return false; }
  bool Truncate() override { return false; }
  FileId Id() const override { return FileId{}; }
  bool Close() override { return true; }

 private:
  std::string bytes_;
  size_t pos_ = 0;
};
