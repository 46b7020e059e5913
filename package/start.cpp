// Start: list and extract the package, read its manifest and texts, fill the
// lists and captions. Any failure ends the run with one message.
#include "package/self_extract.h"
#include "package/text_file.h"
#include "shell/frm_main.h"
#include "shell/text.h"

namespace sorvela {
namespace {

constexpr char kManifestName[] = "kestrel.dat";
constexpr char kManifestTag[] = "KESTREL DATAFILE 1";

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

Error LoadText(Files& files, const std::string& path, std::string* text) {
  std::string bytes;
  if (Error e = ReadWholeFile(files, path, &bytes)) return e;
  *text = TextBoxLines(bytes);
  return Error::Ok();
}

}  // namespace

void FrmMain::Start() {
  s_.windows.Show(Control::frmExtracting);
  if (LoadPackage()) {
    StartFailed();
    return;
  }
  s_.windows.Unload(Control::frmExtracting);
  s_.windows.Show(Control::frmMain);
}

Error FrmMain::LoadPackage() {
  using namespace modSelfExtract;
  std::vector<std::string> names;
  if (Error e = ListPackage(s_.system, &names)) return e;
  for (const std::string& name : names) AddListItem(Control::lstFiles, lstFiles, name);

  ExtractPackage(s_.files, s_.system, s_.windows);

  std::string manifest;
  if (Error e = ReadWholeFile(
          s_.files, WithBackslash(GetTempFolder(s_.system)) + kManifestName, &manifest))
    return e;
  FieldReader fields(manifest);
  std::string tag;
  if (Error e = fields.Next(&tag)) return e;
  if (tag != kManifestTag) return MakeError(codes::kDamagedPackage, "Not a font package");
  for (std::string* field : {&ReadmeFile, &LicenseFile, &PackageTitle, &URL, &URLTitle})
    if (Error e = fields.Next(field)) return e;

  ExtractPath = WithBackslash(GetTempFolder(s_.system));

  std::string readme, license;
  if (ReadmeFile != "NOREADME")
    if (Error e = LoadText(s_.files, ExtractPath + ReadmeFile, &readme)) return e;
  if (LicenseFile != "NOLICENSE")
    if (Error e = LoadText(s_.files, ExtractPath + LicenseFile, &license)) return e;
  s_.windows.SetText(Control::txtReadme, readme);
  s_.windows.SetText(Control::txtLicense, license);

  for (const std::string& name : lstFiles)
    if (NameEnding(name) == "TTF") AddListItem(Control::lstFonts, lstFonts, name);

  s_.windows.SetText(Control::frmMain, PackageTitle + " - Velloway");
  s_.windows.SetText(Control::lblReady, "Ready to Install " + PackageTitle);
  return Error::Ok();
}

void FrmMain::StartFailed() {
  s_.windows.Unload(Control::frmExtracting);
  s_.windows.MessageBox("This Sorvela contains no fonts.", "Sorvela Error",
                        kMbOk + kMbExclamation);
  s_.system.Terminate();
}

}  // namespace sorvela
