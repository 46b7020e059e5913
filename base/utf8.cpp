// UTF-8 and UTF-16, and the ANSI forms through them: the same on every build.
#include <cstdint>

#include "base/code_page.h"

namespace sorvela {

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 0;
    uint32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    bool ok = length > 0 && i + length <= text.size() && lead <= 0xF4;
    for (size_t k = 1; ok && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      ok = (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    // Overlong forms and values past Unicode are no text.
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && c >= kLeast[length] && c <= 0x10FFFF;
    if (!ok) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

std::string FoldCaseUtf8(std::string_view text) {
  return Utf8FromUtf16(FoldCase(Utf16FromUtf8(text)));
}

std::string AnsiFromUtf8(std::string_view text) { return AnsiFromUtf16(Utf16FromUtf8(text)); }

std::string Utf8FromAnsi(std::string_view ansi) {
  std::u16string text;
  if (Utf16FromAnsi(ansi, &text)) return Utf8FromUtf16(text);
  // Byte by byte, so that a stray byte costs only itself.
  std::string out;
  for (char c : ansi)
    out += Utf16FromAnsi(std::string_view(&c, 1), &text) ? Utf8FromUtf16(text) : "\xEF\xBF\xBD";
  return out;
}

}  // namespace sorvela
