// The Fonts key and the Fonts folders, and a font file's names.
#include "fonts/get_font_filename.h"

#include "base/code_page.h"
#include "base/text.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

// Below the local application data, each level made when missing.
constexpr const char* kUserFontsFolders[] = {"Microsoft", "Windows", "Fonts"};

Error Described(const Services& s, int32_t code) {
  return SystemError(code, s.system.DescribeError(code));
}

}  // namespace

std::string ValueText(const RegValue& value) {
  const std::string& data = value.data;
  if (value.type == kRegSz) return data.substr(0, data.find('\0'));
  if (value.type != kRegBinary) return "";
  const auto byte = [&](size_t i) { return i < data.size() ? static_cast<uint8_t>(data[i]) : 0; };
  return std::to_string(static_cast<int16_t>(byte(0) | byte(1) << 8));
}

std::string GetRegistryString(Registry& registry, RegRoot root, const std::string& keyPath,
                              const std::string& valueName) {
  RegValue value;
  if (registry.ReadValue(root, keyPath, valueName, &value)) return "";
  return ValueText(value);
}

Error SetRegistryString(const Services& s, RegRoot root, const std::string& keyPath,
                        const std::string& valueName, const std::string& data) {
  return s.registry.WriteString(root, keyPath, valueName, data);
}

Error GetFontsFolder(const Services& s, std::string* folder) {
  if (Error e = GetSpecialFolder(s.shell, ShellFolder::kFonts, folder)) return e;
  // No folder stays none, not the drive's root.
  if (!folder->empty()) *folder = WithBackslash(*folder);
  return Error::Ok();
}

Error GetFontIdentity(const Services& s, const std::string& fontFile, FontIdentity* identity) {
  std::unique_ptr<ReadFile> file;
  if (Error e = s.files.Open(fontFile, &file)) return e;
  Error readError;
  const FontProblem problem = ReadFontIdentity(*file, identity, &readError);
  if (readError) return readError;
  if (problem == FontProblem::kNone) return Error::Ok();
  const std::string name = Trim(fontFile.substr(fontFile.find_last_of('\\') + 1));
  return MakeError(ErrorKind::kNotAFont, "The font file " + name + " can't be installed: " +
                                             DescribeFontProblem(problem));
}

bool PerUserFontsSupported(System& system) {
  uint32_t major = 0, minor = 0, build = 0;
  if (!system.GetVersion(&major, &minor, &build)) return false;
  return major > 10 || (major == 10 && build >= 17763);
}

Error GetFontsFolder(const Services& s, FontScope scope, std::string* folder) {
  if (scope == FontScope::kAllUsers) return GetFontsFolder(s, folder);
  if (Error e = GetSpecialFolder(s.shell, ShellFolder::kLocalAppData, folder)) return e;
  if (folder->empty()) return Error::Ok();
  for (const char* level : kUserFontsFolders) *folder = WithBackslash(*folder) + level;
  *folder = WithBackslash(*folder);
  return Error::Ok();
}

Error CreateFontsFolder(const Services& s, FontScope scope) {
  if (scope == FontScope::kAllUsers) return Error::Ok();
  std::string folder;
  if (Error e = GetSpecialFolder(s.shell, ShellFolder::kLocalAppData, &folder)) return e;
  if (folder.empty()) return Described(s, system_codes::kPathNotFound);
  for (const char* level : kUserFontsFolders) {
    folder = WithBackslash(folder) + level;
    if (Error e = s.files.CreateFolder(folder)) return e;
  }
  return Error::Ok();
}

Error GetRegisteredFontFile(const Services& s, FontScope scope, const std::string& valueName,
                            std::string* file) {
  file->clear();
  const RegKey key = s.fonts.FontsKey(scope);
  if (key.path.empty()) return Error::Ok();
  std::string text = GetRegistryString(s.registry, key.root, key.path, valueName);
  if (text.empty() || text.find('\\') != std::string::npos) {
    *file = std::move(text);
    return Error::Ok();
  }
  std::string folder;
  if (Error e = GetFontsFolder(s, &folder)) return e;
  *file = folder + text;
  return Error::Ok();
}

Error IsFontInstalled(const Services& s, FontScope scope, const std::string& valueName,
                      bool* installed) {
  std::string registered;
  if (Error e = GetRegisteredFontFile(s, scope, valueName, &registered)) return e;
  *installed = !registered.empty();
  return Error::Ok();
}

Error RegisterFont(const Services& s, FontScope scope, const FontIdentity& font,
                   const std::string& fileName, bool load) {
  const RegKey key = s.fonts.FontsKey(scope);
  if (key.path.empty()) return Error::Ok();
  std::string folder;
  if (Error e = GetFontsFolder(s, scope, &folder)) return e;
  // The system's own load is the last word on whether this is a font: a file
  // it refuses would only fail again at every start.
  if (load)
    if (Error e = s.fonts.AddFontResource(folder + fileName)) return e;
  const std::string valueName = font.ValueName();
  const std::string data = scope == FontScope::kAllUsers ? fileName : folder + fileName;
  if (Error e = SetRegistryString(s, key.root, key.path, valueName, data)) return e;

  // Named by family, every style of a family shared one value; the one left
  // naming this file would load it a second time under the wrong name.
  const std::string familyValue = font.family + " (TrueType)";
  // The registry tells names apart by no case: a family that differs from the
  // full name only in case names the value just written.
  if (font.family.empty() || FoldCaseUtf8(familyValue) == FoldCaseUtf8(valueName))
    return Error::Ok();
  std::string registered;
  if (GetRegisteredFontFile(s, scope, familyValue, &registered) ||
      UpperAscii(registered) != UpperAscii(folder + fileName))
    return Error::Ok();
  (void)s.registry.DeleteValue(key.root, key.path, familyValue);
  return Error::Ok();
}

}  // namespace sorvela

namespace sorvela {

Error SetFontValue(const Services& s, FontScope scope, const std::string& valueName,
                   const std::string& text) {
  const RegKey key = s.fonts.FontsKey(scope);
  if (key.path.empty()) return Error::Ok();
  if (text.empty()) return s.registry.DeleteValue(key.root, key.path, valueName);
  return SetRegistryString(s, key.root, key.path, valueName, text);
}

std::string GetFontValue(const Services& s, FontScope scope, const std::string& valueName) {
  const RegKey key = s.fonts.FontsKey(scope);
  return key.path.empty() ? "" : GetRegistryString(s.registry, key.root, key.path, valueName);
}

bool FileIsRegistered(const Services& s, FontScope scope, const std::string& path,
                      const std::string& besides) {
  const RegKey key = s.fonts.FontsKey(scope);
  std::vector<std::string> names;
  if (key.path.empty() || s.registry.ValueNames(key.root, key.path, &names)) return true;
  for (const std::string& name : names) {
    std::string file;
    if (FoldCaseUtf8(name) != FoldCaseUtf8(besides) &&
        !GetRegisteredFontFile(s, scope, name, &file) && UpperAscii(file) == UpperAscii(path))
      return true;
  }
  return false;
}

}  // namespace sorvela
