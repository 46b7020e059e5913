// The failure record every fallible operation hands back: a numeric code and a
// description, as the install run shows them to the user. Code 0 is success.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace sorvela {

struct [[nodiscard]] Error {
  int32_t code = 0;
  std::string description;

  static Error Ok() { return {}; }
  bool failed() const { return code != 0; }
  explicit operator bool() const { return failed(); }
};

// Codes for failures the core detects itself; the platform layer reports its own
// system error codes with the system's description.
namespace codes {
constexpr int32_t kInvalidArgument = 5;
constexpr int32_t kOverflow = 6;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kTypeMismatch = 13;
constexpr int32_t kBadFileName = 52;
constexpr int32_t kFileNotFound = 53;
constexpr int32_t kPastEndOfFile = 62;
constexpr int32_t kPathNotFound = 76;
constexpr int32_t kDamagedPackage = 321;
constexpr int32_t kInvalidFileFormat = 321;
}  // namespace codes

inline Error MakeError(int32_t code, std::string description) {
  return Error{code, std::move(description)};
}

}  // namespace sorvela
