// Removal: the fonts this package installs go, in the scope the install would
// use, with the web links it wrote; a font installed otherwise stays.
#include "base/code_page.h"
#include "base/text.h"
#include "fonts/font_swap.h"
#include "fonts/get_font_filename.h"
#include "shell/frm_main.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

constexpr char kRemovalTitle[] = "Sorvela Uninstall";
constexpr size_t kNamesShown = 10;

}  // namespace

Error FrmMain::RemovalNames(std::vector<std::string>* names) {
  if (keptUninstaller_ || !removalNames_.empty()) {
    *names = removalNames_;
    return Error::Ok();
  }
  for (const std::string& file : lstFonts) {
    FontIdentity font;
    if (Error e = GetFontIdentity(s_, ExtractPath + file, &font)) return e;
    names->push_back(font.ValueName());
  }
  return Error::Ok();
}

Error FrmMain::RemoveFonts(std::vector<std::string>* removed) {
  std::string folder;
  if (Error e = GetFontsFolder(s_, Scope, &folder)) return e;
  std::vector<std::string> names;
  if (Error e = RemovalNames(&names)) return e;
  const bool perUser = Scope == FontScope::kCurrentUser;
  const bool maySchedule = !perUser && s_.system.IsElevated();
  for (const std::string& name : names) {
    // Only the install's own: a file of this Fonts folder that holds the very
    // font the value is named after, and none the system guards.
    std::string file;
    if (Error e = GetRegisteredFontFile(s_, Scope, name, &file)) return e;
    FontIdentity there;
    if (file.empty() || UpperAscii(FolderOf(file)) + '\\' != UpperAscii(folder) ||
        s_.files.IsProtected(file) || GetFontIdentity(s_, file, &there) ||
        FoldCaseUtf8(there.ValueName()) != FoldCaseUtf8(name))
      continue;
    if (Error e = SetFontValue(s_, Scope, name, "")) return e;
    removed->push_back(there.fullName);
    if (FileIsRegistered(s_, Scope, file, name)) continue;
    UnloadFont(s_.fonts, file);
    if (RemoveSoon(s_, file, maySchedule, perUser)) RestartNeeded = true;
  }
  if (!URL.empty() && !URLTitle.empty()) RemoveWebLink(s_.shell, URLTitle, URL);
  s_.fonts.BroadcastFontChange();
  return Error::Ok();
}

void FrmMain::UninstallFonts() {
  Windows& w = s_.windows;
  // In Unicode, for the names of the fonts removed.
  const std::string title = Utf8FromAnsi(PackageTitle);
  if (!Quiet && w.MessageBox("Remove the fonts of " + title + "?", kRemovalTitle,
                             kMbYesNoQuestion + kMbUtf8) == kIdNo) {
    End(exit_codes::kCancelled);
    return;
  }
  std::vector<std::string> removed;
  // Without the rights over everyone's fonts, the automatic choice is the
  // user's own, where the fonts of an install for all users are not: saying
  // that none was installed would be a failure told as success.
  const Error failure =
      !s_.system.IsElevated() && Scope == FontScope::kCurrentUser && KeptForAllUsers()
          ? MakeError(ErrorKind::kNeedsRights,
                      "administrator rights are needed to remove fonts installed for all users")
          : RemoveFonts(&removed);
  if (!failure) RemoveUninstallEntry();
  if (!Quiet) {
    std::string text;
    if (failure) {
      text =
          "The fonts of " + title + " could not be removed: " + Utf8FromAnsi(failure.description);
    } else if (removed.empty()) {
      text = "None of the fonts of " + title + " was installed.";
    } else {
      text = "Removed the fonts of " + title + ":";
      for (size_t i = 0; i < removed.size() && i < kNamesShown; ++i) text += "\r\n" + removed[i];
      if (removed.size() > kNamesShown)
        text += "\r\nand " + std::to_string(removed.size() - kNamesShown) + " more";
      if (RestartNeeded) text += "\r\nSome of their files go when the computer restarts.";
    }
    w.MessageBox(text, kRemovalTitle, kMbOk + (failure ? kMbStop : kMbInformation) + kMbUtf8);
  }
  End(failure         ? exit_codes::kFailed
      : RestartNeeded ? exit_codes::kRestartNeeded
                      : exit_codes::kSuccess);
}

}  // namespace sorvela
