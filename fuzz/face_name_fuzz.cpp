// The portable name-table readers over arbitrary font bytes: the face name
// and the full names and checks of fonts and collections.
#include <cstdint>
#include <string>
#include <string_view>

#include "fonts/face_name.h"
#include "fuzz/check.h"

using namespace sorvela;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Bytes behind the last table can't change what was found.
  std::string longer(bytes);
  longer.append(16, '\xAB');

  const std::string face = ReadFaceName(bytes);
  // A face name fits the system's 32-byte face buffer with its NUL, and holds
  // no NUL of its own (the resource file's reader would stop there).
  FUZZ_CHECK(face.size() <= 31);
  FUZZ_CHECK(face.find('\0') == std::string::npos);
  if (!face.empty()) FUZZ_CHECK(ReadFaceName(longer) == face);

  FontIdentity font;
  if (ReadFontIdentity(bytes, &font) == FontProblem::kNone) {
    const std::string value = font.ValueName();
    FUZZ_CHECK(!font.fullName.empty() && value.size() <= kMaxValueNameChars);
    FUZZ_CHECK(value.find('\0') == std::string::npos);
    FUZZ_CHECK(font.kind == FontKindOf(bytes) && font.kind != FontKind::kUnknown);
    if (font.kind == FontKind::kCollection) FUZZ_CHECK(font.family.empty());
    FontIdentity again;
    FUZZ_CHECK(ReadFontIdentity(longer, &again) == FontProblem::kNone);
    FUZZ_CHECK(again.ValueName() == value && again.family == font.family);
  } else {
    FUZZ_CHECK(font.fullName.empty() && font.kind == FontKind::kUnknown);
  }
  return 0;
}
