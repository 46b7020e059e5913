// The string helpers the name and switch tests use: spaces only are trimmed,
// and only ASCII letters change case, so ANSI bytes pass through.
#pragma once

#include <string>
#include <string_view>

namespace sorvela {

inline std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

inline std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The trimmed name's last three characters, upper-cased: "TTF", "DAT"...
inline std::string NameEnding(std::string_view name) {
  std::string trimmed = Trim(name);
  if (trimmed.size() > 3) trimmed.erase(0, trimmed.size() - 3);
  return UpperAscii(std::move(trimmed));
}

// TrueType and OpenType fonts and collections, by the name's ending.
inline bool IsFontFileName(std::string_view name) {
  const std::string ending = NameEnding(name);
  return ending == "TTF" || ending == "OTF" || ending == "TTC";
}

}  // namespace sorvela
