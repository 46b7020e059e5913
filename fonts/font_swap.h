// Puts the package's fonts in place of what is installed, all of them or none:
// each new file is staged beside its place first, the files it replaces are
// set aside, and only once every font has its way are the old ones gone.
#pragma once

#include <string>
#include <vector>

#include "fonts/face_name.h"
#include "services/services.h"

namespace sorvela {

struct FontPlan {
  std::string file;        // the entry, as listed
  FontIdentity font;       // read from the staged copy
  std::string registered;  // the file its value named before the run (a full path), or ""
  std::string oldValue;    // that value's text, to put back
  bool kept = false;       // the user kept what is installed
  std::string staged;      // the copy beside its place (a full path) until it is moved
  std::string target;      // its file name in the Fonts folder
  // How it comes into place: now; at the next restart, the old file being
  // held; or, for one user, where nothing can wait for a restart, under a
  // free name beside the held old one.
  enum class Way { kNow, kAtRestart, kBeside } way = Way::kNow;
  std::string backup;   // the file it replaces, renamed aside until the end
  std::string heldOld;  // kBeside: that held file
  bool placed = false;
  bool written = false;
};

// Told of each font a step has done.
class StepCounter {
 public:
  virtual ~StepCounter() = default;
  virtual void Done(size_t done) = 0;
};

class FontSwap {
 public:
  // maySchedule: the run may have the system replace files at its restart.
  FontSwap(const Services& s, FontScope scope, std::string folder, bool maySchedule,
           std::vector<FontPlan>& plans)
      : s_(s),
        scope_(scope),
        folder_(std::move(folder)),
        maySchedule_(maySchedule),
        plans_(plans) {}

  // Sets aside what each font replaces, unloaded first, and moves the new
  // file in; a file still held decides the font's way, or fails the run.
  Error Place();
  // Loads the fonts and writes their values; schedules what waits for the restart.
  Error Register(bool* restartNeeded, StepCounter* counter = nullptr);
  // After a failure: every installed file, load and value as it was before.
  void Undo();
  // After success: the set-aside files and the files no value names any
  // more go, now or as soon as they can.
  void Finish();

 private:
  void Unload(const std::string& path);

  const Services& s_;
  FontScope scope_;
  std::string folder_;
  bool maySchedule_;
  std::vector<FontPlan>& plans_;
};

// A file name in folder that nothing stands at: name_2.ext, name_3.ext...
std::string FreeName(Files& files, const std::string& folder, const std::string& name);

// Takes every load of the font file out of the system's table.
void UnloadFont(FontSystem& fonts, const std::string& path);

// Removes a file; what another program holds goes at the next restart where
// the run may ask for that, else, for one user, at the next logon. True when
// it waits for that; false when it is gone now, or stays for want of the
// rights. The folders given go after the file, in their order, each when
// nothing else is left in it by then: a later install may have put its own
// files there.
bool RemoveSoon(const Services& s, const std::string& path, bool maySchedule, bool perUser,
                const std::vector<std::string>& folders = {});

}  // namespace sorvela
