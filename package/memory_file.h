// A ReadFile over bytes in memory, for tools, tests and fuzzing.
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
      return MakeError(codes::kPastEndOfFile, "Input past end of file");
    if (n != 0) std::memcpy(buffer, bytes_.data() + offset, n);
    return Error::Ok();
  }

 private:
  std::string_view bytes_;
};

}  // namespace sorvela
