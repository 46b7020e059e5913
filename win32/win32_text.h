// Pure helpers of the Win32 layer, kept apart from the system calls so they
// can be tested on their own.
#pragma once

#include <cstdint>
#include <string>

namespace sorvela::win32 {

// The argument text of a command line as GetCommandLineA gives it. The
// program name is either quoted (ending at the closing quote, even when no
// space follows) or runs to the first blank; the blanks after it go too.
inline std::string ArgumentsOf(const std::string& commandLine) {
  size_t i = 0;
  const size_t n = commandLine.size();
  if (n > 0 && commandLine[0] == '"') {
    i = commandLine.find('"', 1);
    i = i == std::string::npos ? n : i + 1;
  } else {
    while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return commandLine.substr(i);
}

// The folder of a module path, without a trailing backslash unless it is a
// drive root, which keeps its one backslash.
inline std::string FolderOf(const std::string& modulePath) {
  const size_t slash = modulePath.rfind('\\');
  if (slash == std::string::npos) return "";
  if (slash == 2 && modulePath[1] == ':') return modulePath.substr(0, 3);
  return modulePath.substr(0, slash);
}

// The file name of a module path without its last extension.
inline std::string TitleOf(const std::string& modulePath) {
  const size_t slash = modulePath.rfind('\\');
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
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

// Twips to pixels at the given dots per inch, rounded to nearest. Callers
// convert both edges of a box so that neighbouring boxes still meet.
inline int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>((int64_t{twips} * dpi + 720) / 1440);
}

// A font's height in pixels for CreateFontA: negative asks for the character
// height, hundredths of a point so that 8.25 pt stays exact.
inline int FontHeight(int hundredthsOfPoint, int dpi) {
  return -static_cast<int>((int64_t{hundredthsOfPoint} * dpi + 3600) / 7200);
}

}  // namespace sorvela::win32
