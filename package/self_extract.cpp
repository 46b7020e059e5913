// The two walks over the package trailer and their helpers.
#include "package/self_extract.h"

#include <new>

#include "package/text_file.h"
#include "package/trailer.h"
#include "shell/text.h"

namespace sorvela::modSelfExtract {

int16_t EntryCount = 0;
std::string ReadmeFile;
std::string LicenseFile;

std::string& ReplaceText(std::string& text, const std::string& search,
                         const std::string& replacement) {
  if (search.empty()) return text;
  // One pass from the left; callers never pass a replacement that could form
  // a new occurrence, so this equals replacing until none is left.
  std::string result;
  size_t from = 0;
  for (size_t at; (at = text.find(search, from)) != std::string::npos; from = at + search.size()) {
    result.append(text, from, at - from);
    result += replacement;
  }
  if (from == 0) return text;
  result.append(text, from, std::string::npos);
  text = std::move(result);
  return text;
}

std::string& StripLineBreaks(std::string& text) {
  ReplaceText(text, "\n", "");
  return ReplaceText(text, "\r", "");
}

std::string GetTempFolder(System& system) { return system.TempFolder(); }

Error ListPackage(System& system, std::vector<trailer::Entry>* entries) {
  std::unique_ptr<ReadFile> file;
  if (Error e = system.OpenPackageFile(&file)) return e;
  file = trailer::CutAtLogicalEnd(std::move(file));
  if (Error e = trailer::ReadCount(*file, &EntryCount)) return e;
  return trailer::ReadEntries(*file, EntryCount, entries);
}

void ExtractPackage(Files& files, System& system, Windows& windows,
                    const std::vector<trailer::Entry>& entries) {
  std::unique_ptr<ReadFile> package;
  if (system.OpenPackageFile(&package)) return;
  package = trailer::CutAtLogicalEnd(std::move(package));
  // Entries are copied a piece at a time: fonts of any size need no more memory.
  std::vector<char> buffer(1 << 20);
  const std::string folder = WithBackslash(GetTempFolder(system));
  for (const trailer::Entry& entry : entries) {
    // The listing pass has checked every header, so what fails here is
    // input/output: that entry is skipped and the walk goes on.
    windows.DoEvents();
    std::unique_ptr<WriteFile> out;
    if (!files.Create(folder + entry.name, &out)) {
      if (!CopyBytes(*package, entry.dataOffset, entry.size, *out, buffer)) (void)out->Close();
      out.reset();  // an entry that failed half-way is closed as it stands
      windows.DoEvents();
    }
    windows.DoEvents();
  }
}

}  // namespace sorvela::modSelfExtract
