// Special folders and web-link files.
#include "shellfolders/folders.h"

#include <algorithm>
#include <string_view>

#include "base/file_names.h"
#include "base/text.h"

namespace sorvela {

Error GetSpecialFolder(Shell& shell, ShellFolder folder, std::string* path) {
  path->clear();
  if (Error e = shell.SpecialFolderPath(folder, path)) {
    path->clear();
    return e;
  }
  return Error::Ok();
}

namespace {

// The title names a file in each folder: one that holds a path could put a
// shortcut anywhere, a device name would write to the device, one of dots
// and blanks only makes a file with no name before ".url", and a line break
// can't be in a file name.
bool IsLinkTitle(const std::string& title) {
  return title.find_first_not_of(" .") != std::string::npos && IsSafeName(title + ".url");
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

bool IsWebAddress(const std::string& address) {
  // Other schemes have the shell open a file, a share or a program. A blank,
  // quote or line break would end the address early in the browser's command
  // line or add lines of its own to the file, such as an icon fetched from
  // anywhere as soon as the link is shown.
  static const char kAddressCharacters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~:/?#[]@!$&'()*+,;=%";
  const std::string_view text = address;
  const size_t host = EqualNoCase(text.substr(0, 8), "HTTPS://")  ? 8
                      : EqualNoCase(text.substr(0, 7), "HTTP://") ? 7
                                                                  : 0;
  if (host == 0 || text.size() > kMaxWebAddress ||
      text.find_first_not_of(kAddressCharacters) != std::string_view::npos)
    return false;
  // A user name in front of the host reads as the host to a hasty eye.
  const std::string_view authority = text.substr(host, text.find_first_of("/?#", host) - host);
  return !authority.empty() && authority[0] != ':' && authority.find('@') == std::string_view::npos;
}

void CreateWebLink(const Services& s, const std::string& title, const std::string& address) {
  if (!IsWebAddress(address) || !IsLinkTitle(title)) return;
  // Elevated, the program may write where its user may not, and the user's
  // own settings and links say where the folders are.
  std::string profile;
  if (s.system.IsElevated() &&
      (GetSpecialFolder(s.shell, ShellFolder::kProfile, &profile) || profile.empty()))
    return;
  for (ShellFolder where : {ShellFolder::kDesktop, ShellFolder::kFavorites}) {
    std::string folder;
    // A lookup that errs leaves no folder, which ends the routine like a missing one.
    if (GetSpecialFolder(s.shell, where, &folder) || folder.empty()) return;
    (void)s.shell.WriteInternetShortcut(WithBackslash(folder) + title + ".url", address, profile);
  }
}

void RemoveWebLink(Shell& shell, const std::string& title, const std::string& address) {
  if (!IsLinkTitle(title)) return;
  for (ShellFolder where : {ShellFolder::kDesktop, ShellFolder::kFavorites}) {
    std::string folder;
    if (GetSpecialFolder(shell, where, &folder) || folder.empty()) continue;
    shell.RemoveInternetShortcut(WithBackslash(folder) + title + ".url", address);
  }
}

bool ShortcutPointsAt(std::string_view text, const std::string& address) {
  for (size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find('\n', at), text.size());
    std::string_view line = TrimBlanks(text.substr(at, end - at));
    if (!line.empty() && line.back() == '\r') line = TrimBlanks(line.substr(0, line.size() - 1));
    const size_t mark = line.find('=');
    if (mark != std::string_view::npos && EqualNoCase(TrimBlanks(line.substr(0, mark)), "URL"))
      return TrimBlanks(line.substr(mark + 1)) == address;
  }
  return false;
}

bool SetShortcutAddress(std::string* text, const std::string& address) {
  const std::string_view whole = *text;
  if (whole.find('\0') != std::string_view::npos) return false;
  // The URL line takes the place of [from, to): its old line, or nothing.
  size_t from = std::string_view::npos, to = 0;
  bool inSection = false;
  for (size_t at = 0; at < whole.size();) {
    const size_t newline = whole.find('\n', at);
    const size_t next = newline == std::string_view::npos ? whole.size() : newline + 1;
    size_t end = newline == std::string_view::npos ? whole.size() : newline;
    if (end > at && whole[end - 1] == '\r') --end;
    const std::string_view line = TrimBlanks(whole.substr(at, end - at));
    const bool header = !line.empty() && line[0] == '[';
    const size_t mark = line.find(header ? ']' : '=');
    if (header) {
      if (inSection) break;
      inSection = mark != std::string_view::npos &&
                  EqualNoCase(TrimBlanks(line.substr(1, mark - 1)), "InternetShortcut");
    } else if (inSection && mark != std::string_view::npos &&
               EqualNoCase(TrimBlanks(line.substr(0, mark)), "URL")) {
      from = at;
      to = end;
      break;
    }
    // After the section's last line that isn't blank.
    if (inSection && !line.empty()) from = to = next;
    at = next;
  }
  const bool ended = whole.empty() || whole.back() == '\n';
  const char* lead = "";
  const char* trail = "\r\n";
  if (from == std::string_view::npos) {
    from = to = whole.size();
    lead = ended ? "[InternetShortcut]\r\n" : "\r\n[InternetShortcut]\r\n";
  } else if (to != from) {
    trail = "";
  } else if (from == whole.size() && !ended) {
    lead = "\r\n";
    trail = "";
  }
  std::string result(whole.substr(0, from));
  result.append(lead).append("URL=").append(address).append(trail).append(whole.substr(to));
  *text = std::move(result);
  return true;
}

}  // namespace sorvela
