// Start-up, the command line, the wizard's navigation and the ways of ending.
#include "shell/frm_main.h"

#include <algorithm>

#include "shell/text.h"

namespace sorvela {

const char kPublisherAddress[] = "https://www.marrowby.example/fonts/";

void FrmMain::Form_Initialize() { s_.system.InitCommonControls(); }

void FrmMain::Form_Load() {
  s_.windows.SetVisible(Control::frmMain, false);
  AppPath = s_.system.AppFolder();
  if (AppPath.empty() || AppPath.back() != '\\') AppPath += '\\';
  Start();
  for (Control page :
       {Control::picLicense, Control::picReadme, Control::picInstall, Control::picReady})
    s_.windows.SetVisible(page, false);

  const std::string args = s_.system.CommandLine();
  if (!args.empty()) {
    const std::string c = UpperAscii(Trim(args));
    const std::string last = c.size() >= 2 ? c.substr(c.size() - 2) : c;
    if (last == "/E") {
      ExtractFonts();
      s_.system.Terminate();
      return;
    }
    if (last == "/I") {
      InstallFonts(true);
      s_.system.Terminate();
      return;
    }
    if (last == "/?") {
      s_.windows.MessageBox(
          "Command line options:\r\n\r\n/E -- Extract files\r\n/I -- Silent install",
          "Sorvela Install", kMbOk + kMbInformation);
      s_.system.Terminate();
      return;
    }
  }
  ShowFirstPage();
}

void FrmMain::ShowFirstPage() {
  if (!s_.windows.GetText(Control::txtReadme).empty())
    s_.windows.SetVisible(Control::picReadme, true);
  else if (!s_.windows.GetText(Control::txtLicense).empty())
    s_.windows.SetVisible(Control::picLicense, true);
  else
    s_.windows.SetVisible(Control::picReady, true);
}

void FrmMain::Form_Unload(int16_t& Cancel) {
  (void)Cancel;  // the unload always proceeds
  NeedRestart();
  KillFiles();
}

void FrmMain::ShowInstallPage(Control from) {
  s_.windows.SetVisible(from, false);
  s_.windows.SetVisible(Control::picInstall, true);
  InstallFonts(false);
}

void FrmMain::cmdNext_Click() {
  Windows& w = s_.windows;
  if (w.IsVisible(Control::picReadme)) {
    if (!w.GetText(Control::txtLicense).empty()) {
      w.SetVisible(Control::picReadme, false);
      w.SetVisible(Control::picLicense, true);
    } else {
      ShowInstallPage(Control::picReadme);
    }
  } else if (w.IsVisible(Control::picLicense)) {
    ShowInstallPage(Control::picLicense);
  } else if (w.IsVisible(Control::picReady)) {
    ShowInstallPage(Control::picReady);
  } else if (w.IsVisible(Control::picInstall)) {
    s_.system.Terminate();
  }
}

void FrmMain::cmdCancel_Click() { s_.system.Terminate(); }

void FrmMain::Label9_Click() { GoWeb(kPublisherAddress); }

void FrmMain::GoWeb(const std::string& WebAddress) { s_.shell.Open(WebAddress); }

void FrmMain::AddListItem(Control list, std::vector<std::string>& items, const std::string& text) {
  items.push_back(text);
  s_.windows.AddItem(list, text);
}

}  // namespace sorvela
