// The install run: copy each font into the Fonts folder, register and load
// it, tell the other windows, write the web links, and report the outcome.
#include <string>
#include <vector>

#include "fonts/get_font_filename.h"
#include "package/text_file.h"
#include "shell/frm_main.h"
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
constexpr uint32_t kRed = 0x0000FF;

}  // namespace

void FrmMain::InstallFonts(const bool& Silent) {
  int stage = 0;
  const Error failure = RunInstall(Silent, &stage);
  Windows& w = s_.windows;
  if (!failure) {
    if (Silent) {
      NeedRestart();
      s_.system.Terminate();
      return;
    }
    w.SetText(Control::lblInstall, RestartNeeded ? kRestartText : kDoneText);
    w.SetEnabled(Control::cmdNext, true);
    w.SetText(Control::cmdNext, "&Finish");
    return;
  }
  if (Silent) {
    w.MessageBox(kSilentFailureText + failure.description + kSilentFailureTail, "Error",
                 kMbOk + kMbStop);
    return;
  }
  w.SetText(Control::cmdNext, "&Close");
  w.SetEnabled(Control::cmdNext, true);
  w.SetForeColor(Control::lblInstall, kRed);
  w.SetText(Control::lblInstall,
            kFailureText + std::to_string(failure.code) + " " + failure.description);
  static const Control kStepImages[] = {Control::imgCopy, Control::imgRegister, Control::imgLinks};
  if (stage >= 1 && stage <= 3) w.CopyPicture(Control::imgFail, kStepImages[stage - 1]);
}

Error FrmMain::RunInstall(bool silent, int* stage) {
  Windows& w = s_.windows;
  w.SetEnabled(Control::cmdNext, false);
  w.SetEnabled(Control::cmdCancel, false);
  if (silent)
    w.SetVisible(Control::frmMain, false);
  else
    w.Refresh(Control::frmMain);

  std::string fontsFolder;
  if (Error e = GetFontsFolder(s_, &fontsFolder)) return e;

  *stage = 1;
  const size_t count = lstFonts.size();
  // A font the user chose to keep is left as it is registered.
  std::vector<bool> kept(count, false);
  for (size_t i = 0; i < count; ++i) {
    const std::string& file = lstFonts[i];
    const std::string source = ExtractPath + file;
    bool installed = false;
    if (Error e = IsFontInstalled(s_, source, &installed)) return e;
    if (installed) {
      std::string face;
      if (Error e = GetFontName(s_, source, &face)) return e;
      const int answer = w.MessageBox(
          face + "\r\nThis font is already installed.\r\nDo you want to overwrite it?",
          "Overwrite", kMbYesNoInformation);
      if (answer == kIdNo) {
        kept[i] = true;
        continue;
      }
    }
    if (Error e = CopyFont(source, fontsFolder + file)) return e;
  }
  w.CopyPicture(Control::imgPass, Control::imgCopy);
  w.Refresh(Control::frmMain);

  *stage = 2;
  for (size_t i = 0; i < lstFonts.size(); ++i) {
    if (i < count && kept[i]) continue;
    std::string face;
    if (Error e = GetFontName(s_, ExtractPath + lstFonts[i], &face)) return e;
    if (Error e = RegisterFont(s_, face, lstFonts[i])) return e;
  }
  s_.fonts.BroadcastFontChange();
  w.CopyPicture(Control::imgPass, Control::imgRegister);
  w.Refresh(Control::frmMain);

  *stage = 3;
  if (!URL.empty() && !URLTitle.empty()) CreateWebLink(s_.shell, URLTitle, URL);
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

void FrmMain::NeedRestart() {
  if (RestartNeeded) RestartNeeded = false;
}

}  // namespace sorvela
