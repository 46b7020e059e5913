// frmMain: the main window object. It owns the run state and the high-level
// operations, defined in this folder one file a run (start-up, install,
// removal...); the folders below hold the stateless services they call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fonts/face_name.h"
#include "services/services.h"

namespace sorvela {

// Where the "Click here" label leads.
extern const char kPublisherAddress[];

// How a run ends, in the exit codes that deployment tools already know.
namespace exit_codes {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kCancelled = 1602;
constexpr uint32_t kFailed = 1603;
constexpr uint32_t kBadPackage = 1620;
constexpr uint32_t kRestartNeeded = 3010;
}  // namespace exit_codes

// What the argument text asks for: the mode by its last two characters, or
// removal by the word "/U" or "/UNINSTALL" anywhere (quiet with the word
// "/Q"), and whether the word "/CURRENTUSER" stands anywhere in it.
struct Switches {
  enum class Mode { kWizard, kExtract, kInstall, kQuiet, kUsage, kRemove, kQuietRemove };
  Mode mode = Mode::kWizard;
  bool currentUser = false;
};
Switches ParseSwitches(const std::string& args);

struct FontPlan;
class CopyProgress;
class StepProgress;

class FrmMain {
 public:
  explicit FrmMain(const Services& services) : s_(services) {}

  // Start-up, unload and event handlers (shell/). A fault nobody foresaw ends
  // start-up as an unreadable package does, and a click as a failed install.
  void Form_Initialize();
  void Form_Load();
  // Runs once, however often the system asks (a close, then the session's end).
  void Form_Unload(int16_t& Cancel);
  void cmdNext_Click();
  void cmdCancel_Click();
  // Memory ran out where nothing can go on: the run ends as failed, as a
  // package that can't be read while it starts, with a box unless quiet.
  void OutOfMemory();
  // The install run is at work: the windows answer, but nothing may end it.
  bool Busy() const { return installing_; }
  // The exit code of a close by the window's close box, now.
  uint32_t ExitCode() const;
  void Label9_Click();
  void GoWeb(const std::string& WebAddress);

  // Package (start.cpp, extract_only.cpp).
  void Start();
  void ExtractFonts();
  // Removes the working folder and all the run made in it; what another
  // program holds goes at the next restart where the run may ask for that.
  void KillFiles();

  // Font installation and removal (install.cpp, remove.cpp).
  void InstallFonts(const bool& Silent);
  // Removes what this package installs, asking first unless quiet; ends the
  // program with the removal's exit code.
  void UninstallFonts();
  // Copies the font into a new file; one that fails half-way goes.
  Error CopyFont(const std::string& InName, const std::string& OutName,
                 CopyProgress* progress = nullptr);
  void NeedRestart();

  // Run state, in declared order.
  std::string URL;
  std::string URLTitle;
  std::string ExtractPath;
  std::string PackageTitle;
  std::string AppPath;
  bool RestartNeeded = false;
  // The manifest's optional fields after its six, and the key the package's
  // entry in the system's list of programs goes under.
  std::string Publisher;
  std::string PackageVersion;
  std::string PackageId;
  // "/Q": nothing on the screen, no question, no message.
  bool Quiet = false;
  FontScope Scope = FontScope::kAllUsers;
  // The visible page panel; frmMain before the first page is shown.
  Control CurrentPage = Control::frmMain;

  // The hidden lists; the window's list boxes mirror them.
  std::vector<std::string> lstFiles;
  std::vector<std::string> lstFonts;

 private:
  void Load();
  void Next();
  void ShowFirstPage();
  // Every end but the close command: nothing of the run is left behind.
  void End(uint32_t exitCode);
  void MoveTo(Control page);
  void ShowFailure(const Error& failure, int stage);
  void AddListItem(Control list, std::vector<std::string>& items, const std::string& text);
  Error LoadPackage();
  void StartFailed();
  Error RunInstall(bool silent, int* stage);
  // The name the font takes in the Fonts folder: its own, unless a different
  // font, or a file the system guards, holds that file; then the first such
  // "name_N.ext" that is free or holds this font already.
  Error TargetName(const FontIdentity& font, const std::string& folder, std::string* name);
  // Copies each font to be installed beside its place, checks the copy and
  // chooses its name.
  Error StageFonts(std::vector<FontPlan>& plans, const std::string& folder, StepProgress* progress);
  // False when the user keeps the installed fonts.
  bool AskToOverwrite(const std::vector<FontPlan>& plans);
  void ChooseScope(bool currentUserAsked);

  enum class Outcome { kNotRun, kSucceeded, kFailed };
  Outcome installOutcome_ = Outcome::kNotRun;
  bool unloaded_ = false;
  // Start-up is over: the package was read.
  bool started_ = false;
  bool installing_ = false;
  // "/?" reads the package's entries but writes none of them.
  bool listOnly_ = false;
  // A removal run: the main window is never shown.
  bool removing_ = false;
  // A kept uninstaller carries the value names of the fonts it removes
  // instead of the fonts; an install knows them once it has read the fonts.
  bool keptUninstaller_ = false;
  std::vector<std::string> removalNames_;
  // Where the package's entries begin in the program's file, and the bytes
  // of its fonts.
  uint64_t stubEnd_ = 0;
  uint64_t fontBytes_ = 0;

  // Removal (remove.cpp) and the kept uninstaller with the program's entry
  // (uninstaller.cpp).
  Error RemoveFonts(std::vector<std::string>* removed);
  // This program is the uninstaller an install for all users kept.
  bool KeptForAllUsers();
  Error WriteUninstallEntry();
  void RemoveUninstallEntry();
  Error RemovalNames(std::vector<std::string>* names);
  // The entries written into ExtractPath, as named there, and whether the run
  // made that folder.
  std::vector<std::string> extracted_;
  bool workingFolderMade_ = false;

  Services s_;
};

}  // namespace sorvela
