// The install run: copy each font into the Fonts folder, register and load
// it, tell the other windows, write the web links, and report the outcome.
#include <algorithm>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/text.h"
#include "fonts/font_swap.h"
#include "fonts/get_font_filename.h"
#include "package/self_extract.h"
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
constexpr char kAlreadyInstalledText[] =
    "\r\nThis font is already installed.\r\nDo you want to overwrite it?";
constexpr char kAdministratorText[] =
    "Administrator rights are needed: this version of Windows installs fonts for all users only.";
constexpr uint32_t kRed = 0x0000FF;
// The installed fonts one question names; the rest are counted.
constexpr size_t kNamesAsked = 10;

}  // namespace

// How often a step's count may change on the screen: often enough to be
// seen moving, seldom enough not to slow a run of many small fonts.
constexpr uint32_t kCountEvery = 50;

// A step's label counts the fonts done ("Register font (3 of 200)") where
// there is more than one; the windows answer while a font is copied.
class StepProgress final : public CopyProgress, public StepCounter {
 public:
  StepProgress(Windows& windows, System& system, Control label, const char* text, size_t total)
      : windows_(windows), system_(system), label_(label), text_(text), total_(total) {}
  // A count held back for its time comes out while the next font is copied.
  void Copied(uint64_t) override {
    if (done_ != shownCount_ && system_.Milliseconds() - shown_ >= kCountEvery) Show();
    windows_.DoEvents();
  }
  void Done(size_t done) override {
    done_ = done;
    if (done == total_ || done == 1 || system_.Milliseconds() - shown_ >= kCountEvery) Show();
    windows_.DoEvents();
  }

 private:
  void Show() {
    shown_ = system_.Milliseconds();
    shownCount_ = done_;
    if (total_ <= 1) return;
    std::string text = text_;
    ((((text += " (") += std::to_string(done_)) += " of ") += std::to_string(total_)) += ')';
    windows_.SetText(label_, text);
  }

  Windows& windows_;
  System& system_;
  Control label_;
  const char* text_;
  size_t total_;
  size_t done_ = 0, shownCount_ = 0;
  uint32_t shown_ = 0;
};

namespace {

size_t FontsToInstall(const std::vector<FontPlan>& plans) {
  size_t n = 0;
  for (const FontPlan& p : plans) n += !p.kept;
  return n;
}

}  // namespace

void FrmMain::InstallFonts(const bool& Silent) {
  int stage = 0;
  installing_ = true;
  const Error failure = RunInstall(Silent, &stage);
  installing_ = false;
  installOutcome_ = failure ? Outcome::kFailed : Outcome::kSucceeded;
  Windows& w = s_.windows;
  // The fonts are in: an entry that can't be written leaves only the way to
  // remove them by the package itself ("/U").
  if (!failure) (void)WriteUninstallEntry();
  if (!failure) {
    if (Silent) {
      const uint32_t code = RestartNeeded ? exit_codes::kRestartNeeded : exit_codes::kSuccess;
      NeedRestart();
      End(code);
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
  // A number only where it is the system's, which a search or a support desk knows.
  std::string text = kFailureText;
  if (failure.kind == ErrorKind::kSystem) text += std::to_string(failure.code) + " ";
  w.SetText(Control::lblInstall, text + failure.description);
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
    return MakeError(ErrorKind::kNeedsRights, kAdministratorText);
  std::string fontsFolder;
  if (Error e = GetFontsFolder(s_, Scope, &fontsFolder)) return e;
  if (Error e = CreateFontsFolder(s_, Scope)) return e;

  *stage = 1;
  // Every font's names are read once, from its own tables, before anything is
  // copied: a file that is not a usable font stops the run with nothing of
  // the package in the Fonts folder, and the question and the value use the
  // same name.
  std::vector<FontPlan> plans(lstFonts.size());
  for (size_t i = 0; i < plans.size(); ++i) {
    w.DoEvents();
    FontPlan& p = plans[i];
    p.file = lstFonts[i];
    p.target = Trim(p.file);
    if (Error e = GetFontIdentity(s_, ExtractPath + p.file, &p.font)) return e;
    if (Error e = GetRegisteredFontFile(s_, Scope, p.font.ValueName(), &p.registered)) return e;
    p.oldValue = GetFontValue(s_, Scope, p.font.ValueName());
    if (!p.registered.empty() && s_.files.IsProtected(p.registered))
      return MakeError(ErrorKind::kSystemFile,
                       AnsiFromUtf8(p.font.fullName) +
                           " is one of the system's own fonts, which no package may replace");
  }
  removalNames_.clear();
  for (const FontPlan& p : plans) removalNames_.push_back(p.font.ValueName());
  // A quiet run is a re-deployment, meant to update what is there.
  if (!Quiet && !AskToOverwrite(plans))
    for (FontPlan& p : plans) p.kept = !p.registered.empty();

  // Each font is copied beside its place under a name of its own and checked
  // there; only that copy is moved in, so a file changed under the run after
  // its check never reaches the Fonts folder. Nothing installed is touched
  // until every font is staged.
  FontSwap swap(s_, Scope, fontsFolder, Scope == FontScope::kAllUsers && s_.system.IsElevated(),
                plans);
  StepProgress copying(w, s_.system, Control::Label7, "Copy font to Font Folder",
                       FontsToInstall(plans));
  Error e = StageFonts(plans, fontsFolder, &copying);
  if (!e) e = swap.Place();
  if (e) {
    swap.Undo();
    return e;
  }
  w.CopyPicture(Control::imgPass, Control::imgCopy);
  w.Refresh(Control::frmMain);

  *stage = 2;
  StepProgress registering(w, s_.system, Control::Label8, "Register font", FontsToInstall(plans));
  if (Error e = swap.Register(&RestartNeeded, &registering)) {
    swap.Undo();
    RestartNeeded = false;
    return e;
  }
  swap.Finish();
  s_.fonts.BroadcastFontChange();
  w.CopyPicture(Control::imgPass, Control::imgRegister);
  w.Refresh(Control::frmMain);

  *stage = 3;
  if (!URL.empty() && !URLTitle.empty()) CreateWebLink(s_, URLTitle, URL);
  w.CopyPicture(Control::imgPass, Control::imgLinks);
  w.Refresh(Control::frmMain);
  return Error::Ok();
}

Error FrmMain::StageFonts(std::vector<FontPlan>& plans, const std::string& folder,
                          StepProgress* progress) {
  size_t done = 0;
  for (FontPlan& p : plans) {
    if (p.kept) continue;
    std::string random;
    if (Error e = modSelfExtract::RandomName(s_.system, &random)) return e;
    p.staged = folder;
    ((p.staged += '~') += random) += ".tmp";
    if (Error e = CopyFont(ExtractPath + p.file, p.staged, progress)) return e;
    // What lands is what was asked about: the names and the version.
    FontIdentity copied;
    if (Error e = GetFontIdentity(s_, p.staged, &copied)) return e;
    if (copied.ValueName() != p.font.ValueName() || copied.version != p.font.version)
      return MakeError(ErrorKind::kNotAFont,
                       "The font file " + p.file + " changed while it was installed");
    if (Error e = TargetName(p.font, folder, &p.target)) return e;
    progress->Done(++done);
  }
  return Error::Ok();
}

// One question for all the installed fonts: by its name alone for one, the
// first ten names and how many more for many; both versions where they differ.
// In Unicode, as the names are.
bool FrmMain::AskToOverwrite(const std::vector<FontPlan>& plans) {
  std::string names;
  size_t installed = 0;
  for (const FontPlan& p : plans) {
    if (p.registered.empty()) continue;
    if (++installed > kNamesAsked) continue;
    FontIdentity old;
    std::string line = p.font.fullName;
    if (!GetFontIdentity(s_, p.registered, &old) && old.version != p.font.version)
      line += "\r\nInstalled: " + (old.version.empty() ? "no version" : old.version) +
              "\r\nThis package: " + (p.font.version.empty() ? "no version" : p.font.version);
    names += (names.empty() ? "" : "\r\n") + line;
  }
  if (installed == 0) return true;
  std::string text;
  if (installed == 1)
    text = names + kAlreadyInstalledText;
  else
    text = "These fonts are already installed:\r\n" + names +
           (installed > kNamesAsked ? "\r\nand " + std::to_string(installed - kNamesAsked) + " more"
                                    : "") +
           "\r\nDo you want to overwrite them?";
  return s_.windows.MessageBox(text, "Overwrite", kMbYesNoInformation + kMbUtf8) != kIdNo;
}

Error FrmMain::CopyFont(const std::string& InName, const std::string& OutName,
                        CopyProgress* progress) {
  std::vector<char> buffer(1 << 20);
  return CopyToNewFile(s_.files, InName, OutName, buffer, progress);
}

Error FrmMain::TargetName(const FontIdentity& font, const std::string& folder, std::string* name) {
  const std::string file = *name;
  const size_t dot = std::min(file.rfind('.'), file.size());
  for (int n = 1; n < 1000; ++n) {
    *name = n == 1 ? file : file.substr(0, dot) + '_' + std::to_string(n) + file.substr(dot);
    const std::string path = folder + *name;
    if (!s_.files.Exists(path)) return Error::Ok();
    if (s_.files.IsProtected(path)) continue;
    // Only another font is kept: another version of this font, or a file
    // that is no font at all, may be replaced. One that can't be read, such
    // as a font the system holds, is this one's to replace: if it can't be,
    // the replacement says so.
    FontIdentity there;
    if (GetFontIdentity(s_, path, &there) ||
        FoldCaseUtf8(there.ValueName()) == FoldCaseUtf8(font.ValueName()))
      return Error::Ok();
  }
  return SystemError(system_codes::kFileExists, s_.system.DescribeError(system_codes::kFileExists));
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
