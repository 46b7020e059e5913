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

  // Written beside its place and renamed over an older one.
  if (Error e = modSelfExtract::RandomName(s_.system, &random)) return e;
  const std::string part = folder + random, program = folder + kUninstaller;
  if (Error e = WriteWholeFile(s_.files, part, bytes.data(), bytes.size())) return e;
  if (Error e = s_.files.Move(part, program, true)) {
    (void)s_.files.Remove(part);
    return e;
  }

  const RegRoot root = RootOf(Scope);
  const std::string key = kUninstallKey + PackageId;
  // For one user the uninstaller must not choose all users' fonts by itself.
  std::string run = '"' + program + "\" /U", icon = program + ",0";
  if (Scope == FontScope::kCurrentUser) run += " /CURRENTUSER";
  std::string quiet = run + " /Q";
  const std::string today = s_.system.Today();
  const std::string* texts[] = {PackageTitle.empty() ? &PackageId : &PackageTitle,
                                &PackageVersion, &Publisher, &icon, &run, &quiet, &today, &URL};
  const char* const names8[] = {"DisplayName",     "DisplayVersion",       "Publisher",
                                "DisplayIcon",     "UninstallString",      "QuietUninstallString",
                                "InstallDate",     "URLInfoAbout"};
  for (size_t i = 0; i < 8; ++i)
    if (!texts[i]->empty())
      if (Error e = s_.registry.WriteString(root, key, names8[i], *texts[i])) return e;
  const uint32_t dwords[] = {static_cast<uint32_t>((fontBytes_ + 1023) / 1024), 1, 1};
  const char* const dwordNames[] = {"EstimatedSize", "NoModify", "NoRepair"};
  for (size_t i = 0; i < 3; ++i)
    if (Error e = s_.registry.WriteDword(root, key, dwordNames[i], dwords[i])) return e;
  return Error::Ok();
}

void FrmMain::RemoveUninstallEntry() {
  (void)s_.registry.DeleteKey(RootOf(Scope), kUninstallKey + PackageId);
  std::string folder;
  if (UninstallerFolder(s_, Scope, PackageId, false, &folder)) return;
  // The kept uninstaller may be this very program, which can't go while it
  // runs: then it goes at the next restart, or for one user at the next logon.
  const bool perUser = Scope == FontScope::kCurrentUser;
  const bool elevated = s_.system.IsElevated();
  const std::string program = folder + kUninstaller;
  const std::string trimmed = folder.substr(0, folder.size() - 1);
  if (s_.files.Exists(program) && s_.files.Remove(program)) {
    if (!elevated || s_.files.RemoveAtRestart(program) || s_.files.RemoveAtRestart(trimmed))
      RemoveSoon(s_, trimmed, false, perUser, true);
    return;
  }
  (void)s_.files.RemoveFolder(trimmed);
  (void)s_.files.RemoveFolder(FolderOf(trimmed));  // "Sorvela", once it is empty
}

}  // namespace sorvela
