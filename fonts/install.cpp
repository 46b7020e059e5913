// The install run: copy each font into the Fonts folder, register and load
// it, tell the other windows, write the web links, and report the outcome.
#include <algorithm>
#include <string>
#include <vector>

#include "fonts/get_font_filename.h"
#include "package/text_file.h"
#include "shell/frm_main.h"
#include "shell/text.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

constexpr char kDoneText[] = "Your font was sucessfully installed and is ready to use!";
constexpr char kRestartText[] =
    "Your font was sucessfully installed, but you may need to restart your computer.";
constexpr char kFailureText[] =
    "There was an error installing the fonts. Restart your computer and try again. If the "
    "problem persists, contact Brimvale Technical Support. Error: ";
constexpr char kSilentFailureText[] = "There was an error installing the fonts: ";
constexpr char kSilentFailureTail[] =
    "\r\nRestart your computer and try again or contact Brimvale Technical Support.";
constexpr char kAlreadyInstalledText[] =
    "\r\nThis font is already installed.\r\nDo you want to overwrite it?";
constexpr char kAdministratorText[] =
    "Administrator rights are needed: this version of Windows installs fonts for all users only.";
constexpr uint32_t kRed = 0x0000FF;

}  // namespace

void FrmMain::InstallFonts(const bool& Silent) {
  int stage = 0;
  const Error failure = RunInstall(Silent, &stage);
  installOutcome_ = failure ? Outcome::kFailed : Outcome::kSucceeded;
  Windows& w = s_.windows;
  if (!failure) {
    if (Silent) {
      NeedRestart();
      s_.system.Terminate(exit_codes::kSuccess);
      return;
    }
    w.SetText(Control::lblInstall, RestartNeeded ? kRestartText : kDoneText);
    w.SetEnabled(Control::cmdNext, true);
    w.SetText(Control::cmdNext, "&Finish");
    return;
  }
  if (Quiet) return;
  if (Silent) {
    w.MessageBox(kSilentFailureText + failure.description + kSilentFailureTail, "Error",
                 kMbOk + kMbStop);
    return;
  }
  ShowFailure(failure, stage);
}

void FrmMain::ShowFailure(const Error& failure, int stage) {
  Windows& w = s_.windows;
  w.SetText(Control::cmdNext, "&Close");
  w.SetEnabled(Control::cmdNext, true);
  // The mark first: the text may take the room of the steps after it.
  static const Control kStepImages[] = {Control::imgCopy, Control::imgRegister, Control::imgLinks};
  if (stage >= 1 && stage <= 3) w.CopyPicture(Control::imgFail, kStepImages[stage - 1]);
  w.SetForeColor(Control::lblInstall, kRed);
  w.SetText(Control::lblInstall,
            kFailureText + std::to_string(failure.code) + " " + failure.description);
}

Error FrmMain::RunInstall(bool silent, int* stage) {
  Windows& w = s_.windows;
  w.SetEnabled(Control::cmdNext, false);
  w.SetEnabled(Control::cmdCancel, false);
  if (silent)
    w.SetVisible(Control::frmMain, false);
  else
    w.Refresh(Control::frmMain);

  if (Scope == FontScope::kCurrentUser && !PerUserFontsSupported(s_.system))
    return MakeError(5, kAdministratorText);
  std::string fontsFolder;
  if (Error e = GetFontsFolder(s_, Scope, &fontsFolder)) return e;
  if (Error e = CreateFontsFolder(s_, Scope)) return e;

  *stage = 1;
  // Every font's names are read once, from its own tables, before anything is
  // copied: a file that is not a usable font stops the run with nothing of
  // the package in the Fonts folder, and the question, the check and the
  // value all use the same name.
  const size_t count = lstFonts.size();
  std::vector<FontIdentity> identities(count);
  for (size_t i = 0; i < count; ++i)
    if (Error e = GetFontIdentity(s_, ExtractPath + lstFonts[i], &identities[i])) return e;

  // A font the user chose to keep is left as it is registered.
  std::vector<bool> kept(count, false);
  std::vector<std::string> targets(lstFonts);
  for (size_t i = 0; i < count; ++i) {
    bool installed = false;
    if (Error e = IsFontInstalled(s_, Scope, identities[i].ValueName(), &installed)) return e;
    // A quiet run is a re-deployment, meant to update what is there.
    if (installed && !Quiet) {
      const int answer = w.MessageBox(identities[i].fullName + kAlreadyInstalledText, "Overwrite",
                                      kMbYesNoInformation);
      if (answer == kIdNo) {
        kept[i] = true;
        continue;
      }
    }
    if (Error e = TargetName(ExtractPath + lstFonts[i], identities[i], fontsFolder, &targets[i]))
      return e;
    if (Error e = CopyFont(ExtractPath + lstFonts[i], fontsFolder + targets[i])) return e;
  }
  w.CopyPicture(Control::imgPass, Control::imgCopy);
  w.Refresh(Control::frmMain);

  *stage = 2;
  for (size_t i = 0; i < count; ++i)
    if (!kept[i])
      if (Error e = RegisterFont(s_, Scope, identities[i], targets[i])) return e;
  s_.fonts.BroadcastFontChange();
  w.CopyPicture(Control::imgPass, Control::imgRegister);
  w.Refresh(Control::frmMain);

  *stage = 3;
  if (!URL.empty() && !URLTitle.empty()) CreateWebLink(s_, URLTitle, URL);
  w.CopyPicture(Control::imgPass, Control::imgLinks);
  w.Refresh(Control::frmMain);
  return Error::Ok();
}

Error FrmMain::CopyFont(const std::string& InName, const std::string& OutName) {
  const Error copy = s_.files.Copy(InName, OutName);
  if (!copy) return copy;
  // The same font already in place, byte for byte, is what the copy wanted.
  std::string wanted, present;
  if (!ReadWholeFile(s_.files, InName, &wanted) && !ReadWholeFile(s_.files, OutName, &present) &&
      wanted == present)
    return Error::Ok();
  return copy;
}

Error FrmMain::TargetName(const std::string& source, const FontIdentity& font,
                          const std::string& folder, std::string* name) {
  std::string wanted;  // read only once a file stands in the way
  const std::string file = *name;
  const size_t dot = std::min(file.rfind('.'), file.size());
  for (int n = 1; n < 1000; ++n) {
    *name = n == 1 ? file : file.substr(0, dot) + '_' + std::to_string(n) + file.substr(dot);
    // A file that can't be read is taken as free: if it is there, the copy
    // reports why it can't be replaced.
    std::string present;
    if (ReadWholeFile(s_.files, folder + *name, &present)) return Error::Ok();
    if (wanted.empty())
      if (Error e = ReadWholeFile(s_.files, source, &wanted)) return e;
    // Only another font is kept: the same bytes, another version of this
    // font, or a file that is no font at all may be replaced.
    FontIdentity there;
    if (present == wanted || ReadFontIdentity(present, &there) != FontProblem::kNone ||
        UpperAscii(there.ValueName()) == UpperAscii(font.ValueName()))
      return Error::Ok();
  }
  return MakeError(80, s_.system.DescribeError(80));  // ERROR_FILE_EXISTS
}

void FrmMain::ChooseScope(bool currentUserAsked) {
  // Without rights over everyone's fonts, a user's own install is the one
  // that can succeed.
  const bool perUser =
      currentUserAsked || (!s_.system.IsElevated() && PerUserFontsSupported(s_.system));
  Scope = perUser ? FontScope::kCurrentUser : FontScope::kAllUsers;
}

void FrmMain::NeedRestart() {
  if (RestartNeeded) RestartNeeded = false;
}

}  // namespace sorvela
