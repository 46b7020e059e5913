// The safe-name and same-file rules; see file_names.h.
#include "base/file_names.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "base/code_page.h"
#include "base/text.h"

namespace sorvela {

bool IsDeviceName(std::u16string_view name) {
  // The system takes the part before the first dot, without its trailing
  // spaces, for the device: "con .txt" is the console too.
  std::u16string_view base = name.substr(0, name.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  const std::u16string upper = UpperAscii(std::u16string(base));
  for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
    if (upper == device) return true;
  if (upper.size() != 4 || (upper.compare(0, 3, u"COM") != 0 && upper.compare(0, 3, u"LPT") != 0))
    return false;
  // The superscripts one, two and three count as digits here.
  const char16_t digit = upper[3];
  return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
         digit == u'\u00B3';
}

bool IsSafeName(std::u16string_view name) {
  for (char16_t c : name)
    if (IsControl(c) || (c < 0x80 && std::strchr("\\/:<>\"|?*", static_cast<char>(c))))
      return false;
  // Trailing spaces are padding; a dot before them would be dropped by the
  // system, so "..  " would be the parent and "a.ttf." another file.
  size_t end = name.size();
  while (end > 0 && name[end - 1] == u' ') --end;
  if (end > 0 && name[end - 1] == u'.') return false;
  return !IsDeviceName(name);
}

bool IsSafeNameIn(unsigned codePage, std::string_view name) {
  std::u16string text;
  return Utf16FromCodePage(codePage, name, &text) && IsSafeName(text);
}

bool IsSafeName(std::string_view name) {
  std::u16string text;
  return Utf16FromAnsi(name, &text) && IsSafeName(text);
}

std::string NameKeyIn(unsigned codePage, std::string_view name) {
  name = WithoutNamePadding(name);
  std::u16string text;
  if (!Utf16FromCodePage(codePage, name, &text)) return std::string(name);
  return Utf8FromUtf16(FoldCase(text));
}

bool IsCodeFileName(std::string_view name) {
  name = WithoutNamePadding(name);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string extension = UpperAscii(std::string(name.substr(dot + 1)));
  const char* const codes[] = {"DLL", "EXE", "SYS", "CPL", "OCX", "SCR", "COM",
                               "BAT", "CMD", "PS1", "VBS", "JS",  "MSI", "LNK"};
  return std::any_of(std::begin(codes), std::end(codes),
                     [&](const char* code) { return extension == code; });
}

}  // namespace sorvela
