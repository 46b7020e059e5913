// The portable name-table reader over arbitrary font bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fonts/face_name.h"
#include "fuzz/check.h"

using namespace sorvela;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string face = ReadFaceName(bytes);
  // A face name fits the system's 32-byte face buffer with its NUL, and holds
  // no NUL of its own (the resource file's reader would stop there).
  FUZZ_CHECK(face.size() <= 31);
  FUZZ_CHECK(face.find('\0') == std::string::npos);
  if (!face.empty()) {
    // Bytes behind the last table can't change a name that was found.
    std::string longer(bytes);
    longer.append(16, '\xAB');
    FUZZ_CHECK(ReadFaceName(longer) == face);
  }
  return 0;
}
