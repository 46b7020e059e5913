// Face names through the system's font resource file, and the Fonts key.
#include "fonts/get_font_filename.h"

#include <cstring>

#include "package/text_file.h"
#include "shell/text.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

constexpr char kMarker[] = "FONTRES:";
constexpr char kWindowsFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
constexpr char kNtFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

Error SystemError(const Services& s, long code) {
  return MakeError(static_cast<int32_t>(code), s.system.DescribeError(code));
}

}  // namespace

Error GetFontName(const Services& s, const std::string& fontFile, std::string* name) {
  name->clear();
  std::string folder = s.system.AppFolder();
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const std::string resourceFile = folder + "\\~TEMP.FOT";
  // A file left behind by an earlier run would make the system refuse every call.
  (void)s.files.Remove(resourceFile);
  if (s.fonts.CreateScalableFontResource(1, resourceFile, fontFile)) return Error::Ok();

  std::string bytes;
  if (Error e = ReadWholeFile(s.files, resourceFile, &bytes)) return e;
  *name = FaceFromFontResource(bytes);
  (void)s.files.Remove(resourceFile);
  return Error::Ok();
}

std::string FaceFromFontResource(std::string_view bytes) {
  const size_t marker = bytes.find(kMarker);
  if (marker == std::string_view::npos) return "";
  const size_t start = marker + std::strlen(kMarker);
  const size_t nul = bytes.find('\0', start);
  // Without an end the name can't be told from what follows it.
  if (nul == std::string_view::npos) return "";
  return std::string(bytes.substr(start, nul - start));
}

std::string GetFontsKey(System& system) {
  uint32_t platform = 0;
  if (!system.GetPlatformId(&platform)) return "";
  if (platform == 1) return kWindowsFontsKey;
  if (platform == 2) return kNtFontsKey;
  return "";
}

std::string QueryValueText(Registry& registry, RegKey key, const std::string& valueName) {
  uint32_t type = 0, size = 0;
  if (registry.QueryValue(key, valueName, &type, nullptr, &size) != 0) return "";
  if (type != kRegSz && type != kRegBinary) return "";
  std::string data(size, '\0');
  uint32_t ignoredType = 0;
  if (registry.QueryValue(key, valueName, &ignoredType, data.data(), &size) != 0) return "";
  data.resize(std::min<size_t>(size, data.size()));
  if (type == kRegSz) return data.substr(0, data.find('\0'));
  const auto byte = [&](size_t i) { return i < data.size() ? static_cast<uint8_t>(data[i]) : 0; };
  return std::to_string(static_cast<int16_t>(byte(0) | byte(1) << 8));
}

std::string GetRegistryString(Registry& registry, RegKey root, const std::string& keyPath,
                              const std::string& valueName) {
  RegKey key = 0;
  (void)registry.OpenKey(root, keyPath, &key);
  std::string text = QueryValueText(registry, key, valueName);
  (void)registry.CloseKey(key);
  return text;
}

Error SetRegistryString(const Services& s, RegKey root, const std::string& keyPath,
                        const std::string& valueName, const std::string& data) {
  RegKey key = 0;
  long result = s.registry.CreateKey(root, keyPath, &key);
  if (result == 0)
    result = s.registry.SetValue(key, valueName, kRegSz, data.data(),
                                 static_cast<uint32_t>(data.size()));
  (void)s.registry.CloseKey(key);
  return result == 0 ? Error::Ok() : SystemError(s, result);
}

std::string AddBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + '\\';
}

Error GetFontsFolder(const Services& s, std::string* folder) {
  if (Error e = GetSpecialFolder(s.shell, kCsidlFonts, folder)) return e;
  *folder = AddBackslash(*folder);
  return Error::Ok();
}

Error GetFontIdentity(const Services& s, const std::string& fontFile, FontIdentity* identity) {
  std::string bytes;
  if (Error e = ReadWholeFile(s.files, fontFile, &bytes)) return e;
  const FontProblem problem = ReadFontIdentity(bytes, identity);
  if (problem == FontProblem::kNone) return Error::Ok();
  const std::string name = Trim(fontFile.substr(fontFile.find_last_of('\\') + 1));
  return MakeError(codes::kInvalidFileFormat,
                   "The font file " + name + " can't be installed: " + DescribeFontProblem(problem));
}

Error GetRegisteredFontFile(const Services& s, const std::string& valueName, std::string* file) {
  file->clear();
  const std::string keyPath = GetFontsKey(s.system);
  if (keyPath.empty()) return Error::Ok();
  std::string text = GetRegistryString(s.registry, kHkeyLocalMachine, keyPath, valueName);
  if (text.empty() || text.find('\\') != std::string::npos) {
    *file = std::move(text);
    return Error::Ok();
  }
  std::string folder;
  if (Error e = GetFontsFolder(s, &folder)) return e;
  *file = folder + text;
  return Error::Ok();
}

Error IsFontInstalled(const Services& s, const std::string& valueName, bool* installed) {
  std::string registered;
  if (Error e = GetRegisteredFontFile(s, valueName, &registered)) return e;
  *installed = !registered.empty();
  return Error::Ok();
}

Error RegisterFont(const Services& s, const FontIdentity& font, const std::string& fileName) {
  const std::string keyPath = GetFontsKey(s.system);
  if (keyPath.empty()) return Error::Ok();
  std::string folder;
  if (Error e = GetFontsFolder(s, &folder)) return e;
  // The system's own load is the last word on whether this is a font: a file
  // it refuses would only fail again at every start.
  if (Error e = s.fonts.AddFontResource(folder + fileName)) return e;
  const std::string valueName = font.ValueName();
  if (Error e = SetRegistryString(s, kHkeyLocalMachine, keyPath, valueName, fileName)) return e;

  // Named by family, every style of a family shared one value; the one left
  // naming this file would load it a second time under the wrong name.
  const std::string familyValue = font.family + " (TrueType)";
  if (font.family.empty() || familyValue == valueName) return Error::Ok();
  std::string registered;
  if (GetRegisteredFontFile(s, familyValue, &registered) ||
      UpperAscii(registered) != UpperAscii(folder + fileName))
    return Error::Ok();
  RegKey key = 0;
  if (s.registry.OpenKey(kHkeyLocalMachine, keyPath, &key) == 0)
    (void)s.registry.DeleteValue(key, familyValue);
  (void)s.registry.CloseKey(key);
  return Error::Ok();
}

}  // namespace sorvela
