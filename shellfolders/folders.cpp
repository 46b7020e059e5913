// Special folders and web-link files.
#include "shellfolders/folders.h"

namespace sorvela {

Error GetSpecialFolder(Shell& shell, int32_t csidl, std::string* path) {
  std::string buffer;
  path->clear();
  if (shell.SpecialFolderLocation(csidl, &buffer) != 0) return Error::Ok();
  const size_t nul = buffer.find('\0');
  if (nul == std::string::npos)
    return MakeError(codes::kInvalidArgument, "Invalid procedure call or argument");
  path->assign(buffer, 0, nul);
  return Error::Ok();
}

void WriteIniValue(Shell& shell, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& path) {
  (void)shell.WritePrivateProfileString(section, key, value, path);
}

void CreateWebLink(Shell& shell, const std::string& title, const std::string& address) {
  // The title names a file in each folder; one that holds a path could put a
  // shortcut anywhere, so it is refused like any other name a file can't have.
  if (title.find_first_of("\\/:") != std::string::npos) return;
  for (int32_t csidl : {kCsidlDesktopDirectory, kCsidlFavorites}) {
    std::string folder;
    // A lookup that errs leaves no folder, which ends the routine like a missing one.
    if (GetSpecialFolder(shell, csidl, &folder) || folder.empty()) return;
    if (folder.back() != '\\') folder += '\\';
    WriteIniValue(shell, "InternetShortcut", "URL", address, folder + title + ".url");
  }
}

}  // namespace sorvela
