// Special folders and web-link files.
#include "shellfolders/folders.h"

#include <algorithm>
#include <string_view>

#include "package/text_file.h"
#include "package/trailer.h"
#include "shell/text.h"

namespace sorvela {

Error GetSpecialFolder(Shell& shell, int32_t csidl, std::string* path) {
  path->clear();
  if (Error e = shell.SpecialFolderPath(csidl, path)) {
    path->clear();
    return e;
  }
  return Error::Ok();
}

void WriteIniValue(Shell& shell, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& path) {
  (void)shell.WritePrivateProfileString(section, key, value, path);
}

namespace {

bool HasControlCharacter(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 32) return true;
  return false;
}

// The title names a file in each folder: one that holds a path could put a
// shortcut anywhere, a device name would write to the device, one of dots
// and blanks only makes a file with no name before ".url", and a line break
// can't be in a file name.
bool IsLinkTitle(const std::string& title) {
  return title.find_first_not_of(" .") != std::string::npos && trailer::IsSafeName(title + ".url");
}

}  // namespace

void CreateWebLink(Shell& shell, const std::string& title, const std::string& address) {
  // A line break in the address would add lines of its own to the file, such
  // as an icon that the shell fetches from anywhere as soon as it shows the link.
  if (HasControlCharacter(address) || !IsLinkTitle(title)) return;
  for (int32_t csidl : {kCsidlDesktopDirectory, kCsidlFavorites}) {
    std::string folder;
    // A lookup that errs leaves no folder, which ends the routine like a missing one.
    if (GetSpecialFolder(shell, csidl, &folder) || folder.empty()) return;
    WriteIniValue(shell, "InternetShortcut", "URL", address,
                  WithBackslash(folder) + title + ".url");
  }
}

void RemoveWebLink(Shell& shell, Files& files, const std::string& title,
                   const std::string& address) {
  if (!IsLinkTitle(title)) return;
  for (int32_t csidl : {kCsidlDesktopDirectory, kCsidlFavorites}) {
    std::string folder, text;
    if (GetSpecialFolder(shell, csidl, &folder) || folder.empty()) continue;
    const std::string path = WithBackslash(folder) + title + ".url";
    // A link is a few lines; one far larger is no link this program wrote.
    if (ReadFileStart(files, path, 64 * 1024, &text)) continue;
    const std::string line = "URL=" + address;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
      end = std::min(text.find('\n', at), text.size());
      std::string_view l(text.data() + at, end - at);
      if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
      if (l == line) {
        (void)files.Remove(path);
        break;
      }
    }
  }
}

}  // namespace sorvela
