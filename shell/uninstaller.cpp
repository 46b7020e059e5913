// The package's entry in the system's list of programs, and the kept
// uninstaller it runs: this program without the fonts, carrying the
// manifest and the value names of the fonts it removes.
#include "base/text.h"
#include "fonts/font_swap.h"
#include "fonts/get_font_filename.h"
#include "package/self_extract.h"
#include "package/text_file.h"
#include "package/trailer.h"
#include "shell/frm_main.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kUninstaller[] = "uninstall.exe";

RegRoot RootOf(FontScope scope) {
  return scope == FontScope::kAllUsers ? kHkeyLocalMachine : kHkeyCurrentUser;
}

// Where the kept uninstaller lives, ending in "\\": with the programs of all
// users, or with the user's own.
Error UninstallerFolder(const Services& s, FontScope scope, const std::string& id, bool make,
                        std::string* folder) {
  const bool all = scope == FontScope::kAllUsers;
  if (Error e = GetSpecialFolder(
          s.shell, all ? ShellFolder::kProgramFiles : ShellFolder::kLocalAppData, folder))
    return e;
  if (folder->empty())
    return SystemError(system_codes::kPathNotFound,
                       s.system.DescribeError(system_codes::kPathNotFound));
  for (const char* level : {all ? "" : "Programs", "Sorvela", id.c_str()}) {
    if (!*level) continue;
    *folder = WithBackslash(*folder) + level;
    if (make)
      if (Error e = s.files.CreateFolder(*folder)) return e;
  }
  *folder = WithBackslash(*folder);
  return Error::Ok();
}

// The program an uninstall string runs: the path in its first quotes.
std::string ProgramOf(const std::string& command) {
  if (command.empty() || command[0] != '"') return "";
  const size_t end = command.find('"', 1);
  return end == std::string::npos ? "" : command.substr(1, end - 1);
}

// A manifest field, quoted; a quote inside would end it early.
void AddField(std::string* manifest, const std::string& field) {
  *manifest += '"';
  for (char c : field)
    if (c != '"') *manifest += c;
  *manifest += "\"\r\n";
}

}  // namespace

Error FrmMain::WriteUninstallEntry() {
  std::string folder, names, random;
  if (Error e = UninstallerFolder(s_, Scope, PackageId, true, &folder)) return e;
  std::vector<std::string> values;
  if (Error e = RemovalNames(&values)) return e;
  for (const std::string& name : values) (names += name) += "\r\n";

  // This program as it stands before its entries, no longer signed.
  std::string bytes(static_cast<size_t>(stubEnd_), '\0');
  {
    std::unique_ptr<ReadFile> self;
    if (Error e = s_.system.OpenPackageFile(&self)) return e;
    if (Error e = self->ReadAt(0, bytes.data(), bytes.size())) return e;
  }
  trailer::ClearSecurityDirectory(&bytes);
  std::string manifest;
  for (const char* field : {kManifestTag, kNoReadme, kNoLicense}) AddField(&manifest, field);
  for (const std::string* field : {&PackageTitle, &URL, &URLTitle, &Publisher, &PackageVersion})
    AddField(&manifest, *field);
  AddField(&manifest, PackageId.substr(8));  // without "Sorvela."
  trailer::AppendEntry(&bytes, kRemovalListName, names, '\0');
  trailer::AppendEntry(&bytes, kManifestName, manifest, '\0');
  trailer::AppendEnd(&bytes, 2, '\0');

  // The one an earlier install kept may be set to go at the next restart or
  // logon (a removal ran it): the new one takes a name of its own, and the
  // earlier one goes once the entry names the new one.
  const RegRoot root = RootOf(Scope);
  const std::string key = kUninstallKey + PackageId;
  const std::string earlier =
      ProgramOf(GetRegistryString(s_.registry, root, key, "UninstallString"));
  std::string program = kUninstaller;
  if (s_.files.Exists(folder + program)) program = FreeName(s_.files, folder, program);
  program.insert(0, folder);
  // Written beside its place and renamed into it.
  if (Error e = modSelfExtract::RandomName(s_.system, &random)) return e;
  const std::string part = folder + random;
  if (Error e = WriteWholeFile(s_.files, part, bytes.data(), bytes.size())) return e;
  if (Error e = s_.files.Move(part, program, false)) {
    (void)s_.files.Remove(part);
    return e;
  }

  // For one user the uninstaller must not choose all users' fonts by itself.
  std::string run = '"' + program + "\" /U", icon = program + ",0";
  if (Scope == FontScope::kCurrentUser) run += " /CURRENTUSER";
  std::string quiet = run + " /Q";
  const std::string today = s_.system.Today();
  // Settings shows it as a link: only an address the web links would take.
  const std::string about = IsWebAddress(URL) ? URL : "";
  const std::string* texts[] = {PackageTitle.empty() ? &PackageId : &PackageTitle,
                                &PackageVersion,
                                &Publisher,
                                &icon,
                                &run,
                                &quiet,
                                &today,
                                &about};
  const char* const names8[] = {"DisplayName", "DisplayVersion",  "Publisher",
                                "DisplayIcon", "UninstallString", "QuietUninstallString",
                                "InstallDate", "URLInfoAbout"};
  for (size_t i = 0; i < 8; ++i)
    if (!texts[i]->empty())
      if (Error e = s_.registry.WriteString(root, key, names8[i], *texts[i])) return e;
  const uint32_t dwords[] = {static_cast<uint32_t>((fontBytes_ + 1023) / 1024), 1, 1};
  const char* const dwordNames[] = {"EstimatedSize", "NoModify", "NoRepair"};
  for (size_t i = 0; i < 3; ++i)
    if (Error e = s_.registry.WriteDword(root, key, dwordNames[i], dwords[i])) return e;
  if (!earlier.empty() && earlier != program && IsInFolder(earlier, folder))
    RemoveSoon(s_, earlier, s_.system.IsElevated(), Scope == FontScope::kCurrentUser);
  return Error::Ok();
}

bool FrmMain::KeptForAllUsers() {
  std::string folder;
  return keptUninstaller_ &&
         !UninstallerFolder(s_, FontScope::kAllUsers, PackageId, false, &folder) &&
         EqualNoCase(AppPath, folder);
}

void FrmMain::RemoveUninstallEntry() {
  const RegRoot root = RootOf(Scope);
  const std::string key = kUninstallKey + PackageId;
  const std::string named = ProgramOf(GetRegistryString(s_.registry, root, key, "UninstallString"));
  (void)s_.registry.DeleteKey(root, key);
  std::string folder;
  if (UninstallerFolder(s_, Scope, PackageId, false, &folder)) return;
  // The kept uninstaller may be this very program, which can't go while it
  // runs: then it goes at the next restart, or for one user at the next
  // logon, and its folder after it.
  const std::string program =
      IsInFolder(named, folder) && named != folder ? named : folder + kUninstaller;
  const std::string trimmed = folder.substr(0, folder.size() - 1);
  if (s_.files.Exists(program) &&
      RemoveSoon(s_, program, s_.system.IsElevated(), Scope == FontScope::kCurrentUser,
                 {trimmed, FolderOf(trimmed)}))
    return;
  (void)s_.files.RemoveFolder(trimmed);
  (void)s_.files.RemoveFolder(FolderOf(trimmed));  // "Sorvela", once it is empty
}

}  // namespace sorvela
