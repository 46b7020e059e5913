// The face name out of a font resource file, over arbitrary bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fonts/get_font_filename.h"
#include "fuzz/check.h"

using namespace sorvela;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string face = FaceFromFontResource(bytes);
  FUZZ_CHECK(face.find('\0') == std::string::npos);
  // A name comes from within the file, between the first marker and a NUL.
  if (!face.empty()) {
    const size_t marker = bytes.find("FONTRES:");
    FUZZ_CHECK(marker != std::string_view::npos);
    FUZZ_CHECK(bytes.substr(marker + 8, face.size() + 1) == face + '\0');
  }
  return 0;
}
