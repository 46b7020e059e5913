// Extract-only mode and the clean-up of the working folder. Both ignore every
// failure and go on with the next file.
#include "base/file_names.h"
#include "base/text.h"
#include "package/self_extract.h"
#include "package/text_file.h"
#include "package/trailer.h"
#include "shell/frm_main.h"

namespace sorvela {

void FrmMain::ExtractFonts() {
  std::vector<char> buffer(1 << 20);
  for (const std::string& name : extracted_) {
    if (NameEnding(name) == "DAT" || IsCodeFileName(name)) continue;
    // Written beside the target under a name of its own, then renamed over
    // it: a link planted at the target is replaced, never written through.
    std::string random;
    if (modSelfExtract::RandomName(s_.system, &random)) return;
    const std::string part = AppPath + "~" + random + ".tmp";
    if (CopyToNewFile(s_.files, ExtractPath + name, part, buffer)) continue;
    if (s_.files.Move(part, AppPath + name, true)) (void)s_.files.Remove(part);
  }
}

void FrmMain::KillFiles() {
  // A file another program holds open, or the folder it keeps from going,
  // goes at the next restart; asked for in that order, the folder is empty by then.
  auto remove = [this](const std::string& path, bool folder) {
    const Error e = folder ? s_.files.RemoveFolder(path) : s_.files.Remove(path);
    if (e) (void)s_.files.RemoveAtRestart(path);
  };
  for (const std::string& name : extracted_) remove(ExtractPath + name, false);
  extracted_.clear();
  if (workingFolderMade_) remove(ExtractPath.substr(0, ExtractPath.size() - 1), true);
  workingFolderMade_ = false;
}

}  // namespace sorvela
