// Start-up, the command line, the wizard's navigation and the ways of ending.
#include "shell/frm_main.h"

#include <algorithm>
#include <exception>

#include "base/text.h"
#include "shell/pages.h"

namespace sorvela {

const char kPublisherAddress[] = "https://www.marrowby.example/fonts/";

void FrmMain::Form_Initialize() { s_.system.InitCommonControls(); }

namespace {

// A whole word of the upper-cased text: "/CURRENTUSERS" or "X/CURRENTUSER"
// asks for nothing.
bool HasWord(const std::string& text, const std::string& word) {
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || text[at - 1] == ' ' || text[at - 1] == '\t') &&
        (end == text.size() || text[end] == ' ' || text[end] == '\t'))
      return true;
  }
  return false;
}

}  // namespace

Switches ParseSwitches(const std::string& args) {
  Switches switches;
  const std::string c = UpperAscii(Trim(args));
  const std::string last = c.size() >= 2 ? c.substr(c.size() - 2) : c;
  using Mode = Switches::Mode;
  if (last == "/E") switches.mode = Mode::kExtract;
  if (last == "/I") switches.mode = Mode::kInstall;
  if (last == "/Q") switches.mode = Mode::kQuiet;
  if (last == "/?") switches.mode = Mode::kUsage;
  // Removal wins over every install switch, wherever it stands.
  if (HasWord(c, "/U") || HasWord(c, "/UNINSTALL"))
    switches.mode = HasWord(c, "/Q") ? Mode::kQuietRemove : Mode::kRemove;
  switches.currentUser = HasWord(c, "/CURRENTUSER");
  return switches;
}

void FrmMain::Load() {
  s_.windows.SetVisible(Control::frmMain, false);
  AppPath = WithBackslash(s_.system.AppFolder());
  const Switches switches = ParseSwitches(s_.system.CommandLine());
  using Mode = Switches::Mode;
  Quiet = switches.mode == Mode::kQuiet || switches.mode == Mode::kQuietRemove;
  listOnly_ = switches.mode == Mode::kUsage;
  removing_ = switches.mode == Mode::kRemove || switches.mode == Mode::kQuietRemove;
  ChooseScope(switches.currentUser);
  Start();
  for (const WizardPage& page : kWizardPages) s_.windows.SetVisible(page.panel, false);

  // A kept uninstaller removes, whatever it is asked.
  if (removing_) {
    UninstallFonts();
    return;
  }
  switch (switches.mode) {
    case Switches::Mode::kExtract:
      ExtractFonts();
      End(exit_codes::kSuccess);
      return;
    case Switches::Mode::kInstall:
    case Switches::Mode::kQuiet:
      // Returns only after a failure.
      InstallFonts(true);
      End(exit_codes::kFailed);
      return;
    case Switches::Mode::kUsage:
      s_.windows.MessageBox(
          "Command line options:\r\n\r\n/E -- Extract files\r\n/I -- Silent install\r\n"
          "/Q -- Quiet install\r\n/U or /UNINSTALL -- Uninstall (with /Q: quietly)\r\n"
          "/CURRENTUSER -- For the current user alone",
          "Sorvela Install", kMbOk + kMbInformation);
      End(exit_codes::kSuccess);
      return;
    case Switches::Mode::kWizard:
    case Switches::Mode::kRemove:
    case Switches::Mode::kQuietRemove:
      break;
  }
  ShowFirstPage();
}

// The stub is built without exceptions: there memory running out ends the
// run through OutOfMemory. Where the library throws (the host build), what it
// throws here is, in practice, that.
void FrmMain::Form_Load() {
#if defined(__cpp_exceptions)
  try {
    Load();
  } catch (const std::exception&) {
    StartFailed();
  }
#else
  Load();
#endif
}

namespace {

bool Shows(Windows& windows, const WizardPage& page, bool first) {
  switch (page.shows) {
    case WizardPage::Shows::kWithText:
      return !windows.GetText(page.text).empty();
    case WizardPage::Shows::kOnlyFirst:
      return first;
    case WizardPage::Shows::kAlways:
      return true;
  }
  return false;
}

}  // namespace

void FrmMain::ShowFirstPage() {
  for (const WizardPage& page : kWizardPages)
    if (Shows(s_.windows, page, true)) {
      CurrentPage = page.panel;
      break;
    }
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

void FrmMain::Next() {
  const WizardPage* const end = std::end(kWizardPages);
  const WizardPage* at = std::find_if(std::begin(kWizardPages), end, [this](const WizardPage& p) {
    return p.panel == CurrentPage;
  });
  if (at == end) return;
  if (at + 1 == end) {
    End(ExitCode());
    return;
  }
  do ++at;
  while (at + 1 != end && !Shows(s_.windows, *at, false));
  MoveTo(at->panel);
  if (at->panel == kInstallPage) InstallFonts(false);
}

void FrmMain::cmdNext_Click() {
#if defined(__cpp_exceptions)
  try {
    Next();
  } catch (const std::exception&) {
    installOutcome_ = Outcome::kFailed;
    if (CurrentPage != kInstallPage) MoveTo(kInstallPage);
    s_.windows.SetEnabled(Control::cmdCancel, false);
    ShowFailure(MakeError(ErrorKind::kOutOfMemory, "Out of memory"), 0);
  }
#else
  Next();
#endif
}

void FrmMain::OutOfMemory() {
  if (!Quiet) s_.windows.MessageBox("Out of memory", "Sorvela Error", kMbOk + kMbStop);
  End(started_ ? exit_codes::kFailed : exit_codes::kBadPackage);
}

void FrmMain::cmdCancel_Click() { End(exit_codes::kCancelled); }

void FrmMain::End(uint32_t exitCode) {
  KillFiles();
  s_.system.Terminate(exitCode);
}

uint32_t FrmMain::ExitCode() const {
  switch (installOutcome_) {
    case Outcome::kSucceeded:
      return RestartNeeded ? exit_codes::kRestartNeeded : exit_codes::kSuccess;
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
  // and after another account's password was typed, as that account: only
  // where no user's shell has the desktop does it start so.
  if (!s_.system.IsElevated() ||
      s_.shell.OpenAsDesktopUser(WebAddress) == Shell::DesktopOpen::kNoShell)
    s_.shell.Open(WebAddress);
}

void FrmMain::AddListItem(Control list, std::vector<std::string>& items, const std::string& text) {
  items.push_back(text);
  s_.windows.AddItem(list, text);
}

}  // namespace sorvela
