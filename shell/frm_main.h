// frmMain: the main window object. It owns the run state and the high-level
// operations; the subsystems implement their methods in their own folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/services.h"

namespace sorvela {

// Where the "Click here" label leads.
extern const char kPublisherAddress[];

class FrmMain {
 public:
  explicit FrmMain(const Services& services) : s_(services) {}

  // Start-up, unload and event handlers (shell/).
  void Form_Initialize();
  void Form_Load();
  void Form_Unload(int16_t& Cancel);
  void cmdNext_Click();
  void cmdCancel_Click();
  void Label9_Click();
  void GoWeb(const std::string& WebAddress);

  // Package (package/).
  void Start();
  void ExtractFonts();
  void KillFiles();

  // Font installation (fonts/).
  void InstallFonts(const bool& Silent);
  // Fails only when the destination does not end up holding the font.
  Error CopyFont(const std::string& InName, const std::string& OutName);
  void NeedRestart();

  // Run state, in declared order.
  std::string URL;
  std::string URLTitle;
  std::string ExtractPath;
  std::string PackageTitle;
  std::string AppPath;
  bool RestartNeeded = false;

  // The hidden lists; the window's list boxes mirror them.
  std::vector<std::string> lstFiles;
  std::vector<std::string> lstFonts;

 private:
  void ShowFirstPage();
  void ShowInstallPage(Control from);
  void AddListItem(Control list, std::vector<std::string>& items, const std::string& text);
  Error LoadPackage();
  void StartFailed();
  Error RunInstall(bool silent, int* stage);

  Services s_;
};

}  // namespace sorvela
