// The string helpers of names, paths and switches, shared by every part of
// the program and the package tool: spaces only are trimmed, and only ASCII
// letters change case, so ANSI bytes pass through.
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

// One letter, of ANSI or of UTF-16 text.
template <typename Char>
constexpr Char UpperAscii(Char c) noexcept {
  return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

template <typename Char>
std::basic_string<Char> UpperAscii(std::basic_string<Char> text) {
  for (Char& c : text) c = UpperAscii(c);
  return text;
}
inline std::string UpperAscii(const char* text) { return UpperAscii(std::string(text)); }

// What a file name can't hold and a line of text should not: C0 controls.
constexpr bool IsControl(unsigned c) noexcept { return c < 32; }

// A file name without the trailing spaces and dots the file system ignores:
// "a.ttf. " is "a.ttf".
template <typename View>
View WithoutNamePadding(View name) noexcept {
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.remove_suffix(1);
  return name;
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

// A folder as the start of its files' paths: a backslash is added when it is
// not the last character, so "" becomes "\\", the current drive's root.
inline std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// The argument text of a command line as the system gives it. The program
// name is either quoted (ending at the closing quote, even when no space
// follows) or runs to the first blank; the blanks after it go too.
inline std::string ArgumentsOf(std::string_view commandLine) {
  size_t i = 0;
  const size_t n = commandLine.size();
  if (n > 0 && commandLine[0] == '"') {
    i = commandLine.find('"', 1);
    i = i == std::string_view::npos ? n : i + 1;
  } else {
    while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return std::string(commandLine.substr(i));
}

// Equal but for the case of ASCII letters.
inline bool EqualNoCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

// Whether path is folder itself or lies inside it, as the file system tells
// names apart (ASCII case aside); a path that climbs back out through ".." is
// taken for lying outside.
inline bool IsInFolder(std::string_view path, std::string_view folder) noexcept {
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  if (folder.empty() || path.size() < folder.size() ||
      !EqualNoCase(path.substr(0, folder.size()), folder))
    return false;
  const std::string_view rest = path.substr(folder.size());
  if (!rest.empty() && rest[0] != '\\') return false;
  for (size_t at = 0; at < rest.size();) {
    size_t end = rest.find('\\', at + 1);
    if (end == std::string_view::npos) end = rest.size();
    if (rest.substr(at + 1, end - at - 1) == "..") return false;
    at = end;
  }
  return true;
}

// The folder of a file's path, without a trailing backslash unless it is a
// drive root, which keeps its one backslash.
inline std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return "";
  if (slash == 2 && path[1] == ':') return std::string(path.substr(0, 3));
  return std::string(path.substr(0, slash));
}

// The file name of a path without its last extension.
inline std::string TitleOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

// The system's messages end in ".\r\n"; the user sees them inside a sentence.
inline std::string TrimDescription(std::string text) {
  while (!text.empty()) {
    const char c = text.back();
    if (c != '\r' && c != '\n' && c != '.' && c != ' ') break;
    text.pop_back();
  }
  return text;
}

}  // namespace sorvela
