// The system's own conversions, best-fit look-alikes included, in place of
// the Windows-1252 tables of builds without it.
#include <vector>

#include "win32/win32.h"

#include "base/code_page.h"

namespace sorvela {

std::string AnsiFromUtf16(std::u16string_view text) {
  if (text.empty()) return "";
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int n = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, n, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, wide, n, out.data(), size, nullptr, nullptr);
  return out;
}

bool Utf16FromCodePage(unsigned codePage, std::string_view bytes, std::u16string* text) {
  text->clear();
  if (bytes.empty()) return true;
  const int n = static_cast<int>(bytes.size());
  const int units =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
  if (units <= 0) return false;
  text->resize(static_cast<size_t>(units));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), n,
                             reinterpret_cast<wchar_t*>(text->data()), units) == units;
}

bool Utf16FromAnsi(std::string_view ansi, std::u16string* text) {
  return Utf16FromCodePage(CP_ACP, ansi, text);
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string out(text);
  if (out.empty()) return out;
  const int n = static_cast<int>(out.size());
  const auto* in = reinterpret_cast<const wchar_t*>(text.data());
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, in, n, reinterpret_cast<wchar_t*>(out.data()),
                   n) != n)
    out.assign(text);
  return out;
}

}  // namespace sorvela
