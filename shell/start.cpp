// Start: list and extract the package, read its manifest and texts, fill the
// lists and captions. Any failure ends the run with one message.
#include <algorithm>

#include "base/text.h"
#include "package/self_extract.h"
#include "package/text_file.h"
#include "shell/frm_main.h"

namespace sorvela {
namespace {

// What the windows are given to show: a longer title or text would hang them.
constexpr size_t kMaxTitle = 255;
constexpr size_t kMaxText = 1 << 20;

std::string WithoutPadding(std::string name) {
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

// The entry a manifest field names, as the file system would find it; only an
// entry of the package is read, never a path of the field's making.
Error FindEntry(Files& files, const std::vector<std::string>& entries, const std::string& field,
                std::string* entry) {
  const std::string key = files.NameKey(field);
  for (const std::string& name : entries)
    if (files.NameKey(name) == key) {
      *entry = name;
      return Error::Ok();
    }
  return MakeError(ErrorKind::kDamagedPackage, "The manifest names a missing entry");
}

// The text box's text from the start of the file, at most kMaxText of it.
Error LoadText(Files& files, const std::string& path, std::string* text) {
  std::string bytes;
  if (Error e = ReadFileStart(files, path, kMaxText, &bytes)) return e;
  *text = TextBoxLines(bytes);
  if (text->size() > kMaxText) {
    text->resize(kMaxText);
    if (text->back() == '\r') text->pop_back();  // half a line break
  }
  return Error::Ok();
}

}  // namespace

void FrmMain::Start() {
  if (!Quiet) s_.windows.Show(Control::frmExtracting);
  if (LoadPackage()) {
    StartFailed();
    return;
  }
  started_ = true;
  s_.windows.Unload(Control::frmExtracting);
  if (!Quiet && !removing_) s_.windows.Show(Control::frmMain);
}

Error FrmMain::LoadPackage() {
  using namespace modSelfExtract;
  std::vector<trailer::Entry> entries;
  if (Error e = ListPackage(s_.system, &entries)) return e;
  for (const trailer::Entry& entry : entries) AddListItem(Control::lstFiles, lstFiles, entry.name);
  if (listOnly_) return Error::Ok();

  size_t longest = 0;
  stubEnd_ = UINT64_MAX;
  for (const trailer::Entry& entry : entries) {
    longest = std::max(longest, entry.name.size());
    stubEnd_ = std::min(stubEnd_, entry.dataOffset);
    if (IsFontFileName(entry.name)) fontBytes_ += entry.size;
  }
  if (Error e = CreateWorkingFolder(s_.files, s_.system, longest, &ExtractPath)) return e;
  workingFolderMade_ = true;
  if (Error e = ExtractPackage(s_.files, s_.system, s_.windows, entries, ExtractPath, &extracted_))
    return e;

  std::string manifest, entry;
  if (Error e = FindEntry(s_.files, extracted_, kManifestName, &entry)) return e;
  if (Error e = ReadFileStart(s_.files, ExtractPath + entry, kManifestLimit, &manifest)) return e;
  FieldReader fields(manifest);
  std::string tag;
  if (Error e = fields.Next(&tag)) return e;
  if (tag != kManifestTag) return MakeError(ErrorKind::kDamagedPackage, "Not a font package");
  for (std::string* field : {&ReadmeFile, &LicenseFile, &PackageTitle, &URL, &URLTitle})
    if (Error e = fields.Next(field)) return e;
  // Newer tools write these after the six; a package without them has none.
  std::string id;
  for (std::string* field : {&Publisher, &PackageVersion, &id})
    if (fields.Next(field)) break;
  PackageId = PackageIdOf(Publisher, PackageTitle, id);

  if (PackageTitle.size() > kMaxTitle) PackageTitle.resize(kMaxTitle);

  std::string readme, license;
  if (ReadmeFile != kNoReadme) {
    if (Error e = FindEntry(s_.files, extracted_, ReadmeFile, &entry)) return e;
    if (Error e = LoadText(s_.files, ExtractPath + entry, &readme)) return e;
  }
  if (LicenseFile != kNoLicense) {
    if (Error e = FindEntry(s_.files, extracted_, LicenseFile, &entry)) return e;
    if (Error e = LoadText(s_.files, ExtractPath + entry, &license)) return e;
  }
  // A kept uninstaller: no fonts, the names of those it removes.
  if (!FindEntry(s_.files, extracted_, kRemovalListName, &entry) && fontBytes_ == 0) {
    std::string list;
    if (Error e = ReadFileStart(s_.files, ExtractPath + entry, kMaxText, &list)) return e;
    // One name a line: names may hold commas and quotes.
    for (size_t at = 0, end; at < list.size(); at = end + 1) {
      end = std::min(list.find('\n', at), list.size());
      std::string name = list.substr(at, end - at);
      if (!name.empty() && name.back() == '\r') name.pop_back();
      if (!name.empty()) removalNames_.push_back(std::move(name));
    }
    keptUninstaller_ = removing_ = true;
  }
  s_.windows.SetText(Control::txtReadme, readme);
  s_.windows.SetText(Control::txtLicense, license);

  // Namesakes, as the file system sees them, are one file that holds the entry
  // read later: that one is listed, once, without its padding.
  const std::vector<bool> kept = KeptNamesakes(s_.files, lstFiles);
  for (size_t i = 0; i < lstFiles.size(); ++i)
    if (kept[i] && IsFontFileName(lstFiles[i]))
      AddListItem(Control::lstFonts, lstFonts, WithoutPadding(lstFiles[i]));

  s_.windows.SetText(Control::frmMain, PackageTitle + " - Velloway");
  s_.windows.SetText(Control::lblReady, "Ready to Install " + PackageTitle);
  return Error::Ok();
}

void FrmMain::StartFailed() {
  s_.windows.Unload(Control::frmExtracting);
  if (!Quiet)
    s_.windows.MessageBox("This Sorvela contains no fonts.", "Sorvela Error",
                          kMbOk + kMbExclamation);
  End(exit_codes::kBadPackage);
}

}  // namespace sorvela
