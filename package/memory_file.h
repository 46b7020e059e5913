// ReadFiles over bytes in memory, for tools, tests and fuzzing, and over a
// part of another file.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "services/services.h"

namespace sorvela {

class MemoryFile final : public ReadFile {
 public:
  explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Length() const override { return bytes_.size(); }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset > bytes_.size() || n > bytes_.size() - offset)
      return MakeError(ErrorKind::kPastEnd, "Input past end of file");
    if (n != 0) std::memcpy(buffer, bytes_.data() + offset, n);
    return Error::Ok();
  }

 private:
  std::string_view bytes_;
};

// The bytes [offset, offset + length) of another file, which outlives this
// one and holds them all: an entry's data read through the package file.
class FilePart final : public ReadFile {
 public:
  FilePart(ReadFile& file, uint64_t offset, uint64_t length)
      : file_(file), offset_(offset), length_(length) {}
  uint64_t Length() const override { return length_; }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset > length_ || n > length_ - offset)
      return MakeError(ErrorKind::kPastEnd, "Input past end of file");
    return file_.ReadAt(offset_ + offset, buffer, n);
  }

 private:
  ReadFile& file_;
  uint64_t offset_, length_;
};

}  // namespace sorvela
