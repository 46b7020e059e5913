// The manifest's field reader and the readme/licence line splitter over
// arbitrary text: both must end, and neither may invent or lose text.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "package/text_file.h"

using namespace sorvela;

namespace {

// Every CR LF pair as a single CR, so texts that differ only in their line
// ends compare equal.
std::string FoldCrLf(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  FieldReader fields(text);
  std::string field;
  size_t count = 0, total = 0;
  while (!fields.Next(&field)) {
    // Each field consumes at least one byte, so a reader that stalls is caught here.
    FUZZ_CHECK(++count <= size);
    total += field.size();
    FUZZ_CHECK(total <= size);
  }

  const std::string lines = TextBoxLines(text);
  FUZZ_CHECK(lines.empty() == text.empty());
  if (!text.empty()) {
    FUZZ_CHECK(lines.size() >= 2 && lines.compare(lines.size() - 2, 2, "\r\n") == 0);
    // Only the line ends change: each becomes CR LF, and a last line without
    // one gets it.
    std::string expected = FoldCrLf(text);
    if (expected.back() != '\r') expected += '\r';
    FUZZ_CHECK(FoldCrLf(lines) == expected);
  }
  return 0;
}
