// The system's own conversion to its ANSI code page, best-fit look-alikes
// included, in place of the Windows-1252 tables of builds without it.
#include "win32/win32.h"

#include "fonts/ansi.h"

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

}  // namespace sorvela
