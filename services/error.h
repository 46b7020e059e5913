// The failure record every fallible operation hands back: what kind of
// failure it is, the system's own code where the system reported it, and a
// description, as the install run shows them to the user.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace sorvela {

enum class ErrorKind : uint8_t {
  kNone,
  // The system refused; the code is its own: a Win32 error code, errno on the host.
  kSystem,
  // The package's bytes are not what its format says.
  kDamagedPackage,
  // A read past the end of a file or of a manifest's fields.
  kPastEnd,
  // A font file the install can't use, or one that changed under it.
  kNotAFont,
  // The install needs rights, or a system, that the run doesn't have.
  kNeedsRights,
  // One of the system's own files, which no package may replace.
  kSystemFile,
  // A path longer than the system's file calls take.
  kPathTooLong,
  // The system gave neither a result nor a code.
  kNoAnswer,
  // A file a host tool can't open; why is in the description.
  kCantOpen,
  kOutOfMemory,
};

struct [[nodiscard]] Error {
  ErrorKind kind = ErrorKind::kNone;
  int32_t code = 0;  // the system's, for kSystem only
  std::string description;

  static Error Ok() { return {}; }
  bool failed() const { return kind != ErrorKind::kNone; }
  explicit operator bool() const { return failed(); }
};

// Codes of the system's that the core reports where the system would, with
// the system's description.
namespace system_codes {
constexpr int32_t kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
constexpr int32_t kFileExists = 80;   // ERROR_FILE_EXISTS
}  // namespace system_codes

// A failure the core or a tool detects itself.
inline Error MakeError(ErrorKind kind, std::string description) {
  return Error{kind, 0, std::move(description)};
}

// A failure the system reported, by its code.
inline Error SystemError(int32_t code, std::string description) {
  return Error{ErrorKind::kSystem, code, std::move(description)};
}

}  // namespace sorvela
