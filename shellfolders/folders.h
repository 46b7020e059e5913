// modFolders: where a shell folder lies on this machine, and modFav: the
// Internet-shortcut files on the Desktop and in Favorites.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "services/services.h"

namespace sorvela {

// The folder's path as the shell gives it, or "" when the shell doesn't know
// the folder; fails when the shell knows the folder but gives it no path.
Error GetSpecialFolder(Shell& shell, ShellFolder folder, std::string* path);

constexpr size_t kMaxWebAddress = 2048;

// The addresses a web link is written for: "http://" or "https://" in either
// case, a host with no user name before it, at most kMaxWebAddress
// characters, each one an address may hold unencoded.
bool IsWebAddress(const std::string& address);

// Writes title + ".url" pointing at address on the Desktop, then in
// Favorites; a missing Desktop stops it before Favorites. A title that is no
// plain file name of its own, or an address that is no web address, writes
// nothing. An elevated run writes only where the folder really lies inside
// the user's profile, and nothing when it can't tell where the profile is.
// Reports nothing.
void CreateWebLink(const Services& s, const std::string& title, const std::string& address);

// Sets the address of the text of an Internet shortcut: the URL line of its
// first InternetShortcut section, added after that section's last line when
// missing, or the section added at the end; every other line stays as it was.
// False, and the text untouched, for a text with a NUL: no ANSI profile file.
bool SetShortcutAddress(std::string* text, const std::string& address);

// Removes the web links of that title on the Desktop and in Favorites that
// still point at the address; others of that name stay.
void RemoveWebLink(Shell& shell, const std::string& title, const std::string& address);

// Whether the text of an Internet shortcut has its first URL line name address.
bool ShortcutPointsAt(std::string_view text, const std::string& address);

}  // namespace sorvela
