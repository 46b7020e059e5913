// Start-up, the command line, the wizard's navigation and the ways of ending.
#include "shell/frm_main.h"

#include <algorithm>
#include <exception>

#include "shell/text.h"

namespace sorvela {

const char kPublisherAddress[] = "https://www.marrowby.example/fonts/";

void FrmMain::Form_Initialize() { s_.system.InitCommonControls(); }

Switches ParseSwitches(const std::string& args) {
  Switches switches;
  const std::string c = UpperAscii(Trim(args));
  const std::string last = c.size() >= 2 ? c.substr(c.size() - 2) : c;
  using Mode = Switches::Mode;
  if (last == "/E") switches.mode = Mode::kExtract;
  if (last == "/I") switches.mode = Mode::kInstall;
  if (last == "/Q") switches.mode = Mode::kQuiet;
  if (last == "/?") switches.mode = Mode::kUsage;
  // A whole word: "/CURRENTUSERS" or "X/CURRENTUSER" asks for nothing.
  constexpr char kWord[] = "/CURRENTUSER";
  for (size_t at = c.find(kWord); at != std::string::npos && !switches.currentUser;
       at = c.find(kWord, at + 1)) {
    const size_t end = at + sizeof kWord - 1;
    switches.currentUser = (at == 0 || c[at - 1] == ' ' || c[at - 1] == '\t') &&
                           (end == c.size() || c[end] == ' ' || c[end] == '\t');
  }
  return switches;
}

void FrmMain::Form_Load() try {
  s_.windows.SetVisible(Control::frmMain, false);
  AppPath = WithBackslash(s_.system.AppFolder());
  const Switches switches = ParseSwitches(s_.system.CommandLine());
  Quiet = switches.mode == Switches::Mode::kQuiet;
  ChooseScope(switches.currentUser);
  Start();
  for (Control page :
       {Control::picLicense, Control::picReadme, Control::picInstall, Control::picReady})
    s_.windows.SetVisible(page, false);

  switch (switches.mode) {
    case Switches::Mode::kExtract:
      ExtractFonts();
      s_.system.Terminate(exit_codes::kSuccess);
      return;
    case Switches::Mode::kInstall:
    case Switches::Mode::kQuiet:
      // Returns only after a failure.
      InstallFonts(true);
      s_.system.Terminate(exit_codes::kFailed);
      return;
    case Switches::Mode::kUsage:
      s_.windows.MessageBox(
          "Command line options:\r\n\r\n/E -- Extract files\r\n/I -- Silent install\r\n"
          "/Q -- Quiet install",
          "Sorvela Install", kMbOk + kMbInformation);
      s_.system.Terminate(exit_codes::kSuccess);
      return;
    case Switches::Mode::kWizard:
      break;
  }
  ShowFirstPage();
} catch (const std::exception&) {
  StartFailed();
}

void FrmMain::ShowFirstPage() {
  if (!s_.windows.GetText(Control::txtReadme).empty())
    CurrentPage = Control::picReadme;
  else if (!s_.windows.GetText(Control::txtLicense).empty())
    CurrentPage = Control::picLicense;
  else
    CurrentPage = Control::picReady;
  s_.windows.SetVisible(CurrentPage, true);
}

void FrmMain::MoveTo(Control page) {
  s_.windows.SetVisible(CurrentPage, false);
  s_.windows.SetVisible(page, true);
  CurrentPage = page;
}

void FrmMain::Form_Unload(int16_t& Cancel) {
  (void)Cancel;  // the unload always proceeds
  if (unloaded_) return;
  unloaded_ = true;
  NeedRestart();
  KillFiles();
}

void FrmMain::cmdNext_Click() try {
  switch (CurrentPage) {
    case Control::picReadme:
      if (!s_.windows.GetText(Control::txtLicense).empty()) {
        MoveTo(Control::picLicense);
        return;
      }
      [[fallthrough]];
    case Control::picLicense:
    case Control::picReady:
      MoveTo(Control::picInstall);
      InstallFonts(false);
      return;
    case Control::picInstall:
      s_.system.Terminate(ExitCode());
      return;
    default:
      return;
  }
} catch (const std::exception&) {
  // What the library throws here is, in practice, memory running out.
  installOutcome_ = Outcome::kFailed;
  if (CurrentPage != Control::picInstall) MoveTo(Control::picInstall);
  s_.windows.SetEnabled(Control::cmdCancel, false);
  ShowFailure(MakeError(codes::kOutOfMemory, "Out of memory"), 0);
}

void FrmMain::cmdCancel_Click() { s_.system.Terminate(exit_codes::kCancelled); }

uint32_t FrmMain::ExitCode() const {
  switch (installOutcome_) {
    case Outcome::kSucceeded:
      return exit_codes::kSuccess;
    case Outcome::kFailed:
      return exit_codes::kFailed;
    case Outcome::kNotRun:
      break;
  }
  return exit_codes::kCancelled;
}

void FrmMain::Label9_Click() { GoWeb(kPublisherAddress); }

void FrmMain::GoWeb(const std::string& WebAddress) {
  // Started by an elevated program, the browser would run with its rights,
  // and after another account's password was typed, as that account.
  if (s_.system.IsElevated() && s_.shell.OpenAsDesktopUser(WebAddress)) return;
  s_.shell.Open(WebAddress);
}

void FrmMain::AddListItem(Control list, std::vector<std::string>& items, const std::string& text) {
  items.push_back(text);
  s_.windows.AddItem(list, text);
}

}  // namespace sorvela
