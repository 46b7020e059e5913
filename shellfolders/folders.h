// modFolders: where a shell folder lies on this machine, and modFav: the
// Internet-shortcut files on the Desktop and in Favorites.
#pragma once

#include <cstdint>
#include <string>

#include "services/services.h"

namespace sorvela {

constexpr int32_t kCsidlFavorites = 6;
constexpr int32_t kCsidlDesktopDirectory = 16;
constexpr int32_t kCsidlFonts = 20;

// The folder's path as the shell gives it, or "" when the shell doesn't know
// the folder; fails when the shell knows the folder but gives it no path.
Error GetSpecialFolder(Shell& shell, int32_t csidl, std::string* path);

void WriteIniValue(Shell& shell, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& path);

// Writes title + ".url" pointing at address on the Desktop, then in
// Favorites; a missing Desktop stops it before Favorites. A title that is no
// plain file name of its own, or an address holding a control character,
// writes nothing. Reports nothing.
void CreateWebLink(Shell& shell, const std::string& title, const std::string& address);

// Removes the web links of that title on the Desktop and in Favorites that
// still point at the address; others of that name stay.
void RemoveWebLink(Shell& shell, Files& files, const std::string& title,
                   const std::string& address);

}  // namespace sorvela
