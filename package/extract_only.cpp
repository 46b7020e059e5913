// Extract-only mode and the clean-up of the extracted files. Both ignore every
// failure and go on with the next file.
#include "shell/frm_main.h"
#include "shell/text.h"

namespace sorvela {

void FrmMain::ExtractFonts() {
  for (const std::string& name : lstFiles) {
    if (NameEnding(name) == "DAT") continue;
    (void)s_.files.Copy(ExtractPath + name, AppPath + name);
  }
}

void FrmMain::KillFiles() {
  for (const std::string& name : lstFiles) (void)s_.files.Remove(ExtractPath + name);
}

}  // namespace sorvela
