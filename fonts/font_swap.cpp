// Replacing installed fonts: set aside, move in, register, and undo or finish.
#include "fonts/font_swap.h"

#include <algorithm>

#include "base/text.h"
#include "fonts/get_font_filename.h"
#include "package/self_extract.h"

namespace sorvela {
namespace {

// The system counts each load of a file; it lets go of the file only when
// none is left. A bound, in case a system never says there is none.
constexpr int kMostLoads = 64;

constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

}  // namespace

std::string FreeName(Files& files, const std::string& folder, const std::string& name) {
  const size_t dot = std::min(name.rfind('.'), name.size());
  for (int n = 2;; ++n) {
    std::string free = name.substr(0, dot) + '_' + std::to_string(n) + name.substr(dot);
    if (!files.Exists(folder + free)) return free;
  }
}

void UnloadFont(FontSystem& fonts, const std::string& path) {
  for (int i = 0; i < kMostLoads && fonts.RemoveFontResource(path); ++i) {
  }
}

void FontSwap::Unload(const std::string& path) { UnloadFont(s_.fonts, path); }

// Names that the command line would read as more than a path stay where they are.
bool RemoveSoon(const Services& s, const std::string& path, bool maySchedule, bool perUser,
                const std::vector<std::string>& folders) {
  if (!s.files.Remove(path)) {
    for (const std::string& folder : folders) (void)s.files.RemoveFolder(folder);
    return false;
  }
  // The system removes a folder at its restart only when it is empty then.
  if (maySchedule && !s.files.RemoveAtRestart(path)) {
    for (const std::string& folder : folders) (void)s.files.RemoveAtRestart(folder);
    return true;
  }
  const auto quotable = [](const std::string& p) {
    return p.find_first_of("%\"") == std::string::npos;
  };
  std::string random;
  if (!perUser || !quotable(path) || !std::all_of(folders.begin(), folders.end(), quotable) ||
      modSelfExtract::RandomName(s.system, &random))
    return false;
  std::string command = "cmd.exe /d /c del /f /q \"" + path + '"';
  for (const std::string& folder : folders) ((command += " & rmdir \"") += folder) += '"';
  (void)s.registry.WriteString(kHkeyCurrentUser, kRunOnceKey, "Sorvela " + random, command);
  return true;
}

// The windows answer between the fonts: a package may hold thousands.
Error FontSwap::Place() {
  for (FontPlan& p : plans_) {
    s_.windows.DoEvents();
    if (p.kept) continue;
    const std::string target = folder_ + p.target;
    if (!s_.files.Exists(target)) continue;
    Unload(target);
    std::string random;
    if (Error e = modSelfExtract::RandomName(s_.system, &random)) return e;
    const std::string backup = folder_ + "~" + random + ".old";
    const Error held = s_.files.Move(target, backup, false);
    if (!held) {
      p.backup = backup;
      continue;
    }
    // Still held by another program: it stays loaded until it can go.
    (void)s_.fonts.AddFontResource(target);
    if (maySchedule_) {
      p.way = FontPlan::Way::kAtRestart;
    } else if (scope_ == FontScope::kCurrentUser) {
      p.way = FontPlan::Way::kBeside;
      p.heldOld = target;
      p.target = FreeName(s_.files, folder_, p.target);
    } else {
      Error e = held;
      e.description =
          "The font file " + p.target + " is in use and can't be replaced: " + held.description;
      return e;
    }
  }
  for (FontPlan& p : plans_) {
    s_.windows.DoEvents();
    if (p.kept || p.way == FontPlan::Way::kAtRestart) continue;
    if (Error e = s_.files.Move(p.staged, folder_ + p.target, false)) return e;
    p.staged.clear();
    p.placed = true;
  }
  return Error::Ok();
}

Error FontSwap::Register(bool* restartNeeded, StepCounter* counter) {
  size_t done = 0;
  for (FontPlan& p : plans_) {
    if (p.kept) continue;
    if (Error e = RegisterFont(s_, scope_, p.font, p.target, p.way != FontPlan::Way::kAtRestart))
      return e;
    p.written = true;
    if (counter) counter->Done(++done);
  }
  for (FontPlan& p : plans_) {
    if (p.kept || p.way != FontPlan::Way::kAtRestart) continue;
    if (Error e = s_.files.ReplaceAtRestart(p.staged, folder_ + p.target)) return e;
    p.staged.clear();
    *restartNeeded = true;
  }
  return Error::Ok();
}

void FontSwap::Undo() {
  for (auto p = plans_.rbegin(); p != plans_.rend(); ++p) {
    const std::string target = folder_ + p->target;
    if (p->written) (void)SetFontValue(s_, scope_, p->font.ValueName(), p->oldValue);
    if (p->placed) {
      Unload(target);
      (void)s_.files.Remove(target);
    }
    if (!p->backup.empty() && !s_.files.Move(p->backup, target, true))
      (void)s_.fonts.AddFontResource(target);
    if (!p->staged.empty()) (void)s_.files.Remove(p->staged);
    p->written = p->placed = false;
    p->backup.clear();
    p->staged.clear();
  }
}

void FontSwap::Finish() {
  for (FontPlan& p : plans_) {
    s_.windows.DoEvents();
    if (p.kept) continue;
    const bool perUser = scope_ == FontScope::kCurrentUser;
    if (!p.backup.empty()) RemoveSoon(s_, p.backup, maySchedule_, perUser);
    if (!p.heldOld.empty()) {
      Unload(p.heldOld);
      RemoveSoon(s_, p.heldOld, maySchedule_, perUser);
    }
    // The file the value named before, when the font now lies in another: it
    // goes unless another value names it. Only a file of this Fonts folder
    // is the install's to remove, and never one the system guards.
    const std::string now = folder_ + p.target;
    const std::string& old = p.registered;
    if (old.empty() || UpperAscii(old) == UpperAscii(now) || old == p.heldOld ||
        UpperAscii(FolderOf(old)) + '\\' != UpperAscii(folder_) || s_.files.IsProtected(old) ||
        !s_.files.Exists(old) || FileIsRegistered(s_, scope_, old, p.font.ValueName()))
      continue;
    Unload(old);
    RemoveSoon(s_, old, maySchedule_, perUser);
  }
}

}  // namespace sorvela
