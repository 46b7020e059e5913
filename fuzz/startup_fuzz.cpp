// A whole run against the fakes, with the fuzz input as the program's own
// file. The last byte of the tail block (never read by the program) picks
// what happens after start-up: a switch, Next clicked through the wizard, or
// the window closed, so one corpus reaches every path that writes files.
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_names.h"
#include "base/text.h"
#include "fakes/fakes.h"
#include "fonts/face_name.h"
#include "fuzz/check.h"
#include "package/memory_file.h"
#include "package/self_extract.h"
#include "package/trailer.h"
#include "shell/frm_main.h"
#include "shellfolders/folders.h"

using namespace sorvela;

namespace {

constexpr char kExe[] = "C:\\Fonts Setup\\setup.exe";
constexpr char kAppFolder[] = "C:\\Fonts Setup\\";
constexpr char kTemp[] = "C:\\Temp\\";
constexpr char kFontsFolder[] = "C:\\Windows\\Fonts\\";
constexpr char kResourceFile[] = "C:\\Fonts Setup\\~TEMP.FOT";
constexpr char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kInstalledValue[] = "DejaVu Sans (TrueType)";

enum class Then { kClickThrough, kExtractOnly, kSilentInstall, kUsage, kClose };

bool StartsWith(const std::string& s, std::string_view prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The names a folder holds after the run, relative to it; none may lie deeper.
std::map<std::string, std::string> FilesIn(const fakes::FakeFiles& files, std::string_view folder) {
  std::map<std::string, std::string> out;
  for (const auto& [path, bytes] : files.files)
    if (StartsWith(path, folder)) {
      const std::string name = path.substr(folder.size());
      FUZZ_CHECK(name.find('\\') == std::string::npos);
      out[name] = bytes;
    }
  return out;
}

// Whether a listed entry that passes the name test has this file name.
template <typename Test>
bool Listed(const std::vector<std::string>& names, const std::string& fileName, Test test) {
  for (const std::string& n : names)
    if (fakes::WinPath(n) == fileName && test(n)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string package(reinterpret_cast<const char*>(data), size);
  const auto then = static_cast<Then>(size ? data[size - 1] % 5 : 0);
  static const char* const kArgs[] = {"", "/E", " /i ", "/?", ""};

  // What the package holds, read independently of the run: the temporary
  // folder must end up with exactly these files (of namesakes, the later one).
  std::map<std::string, std::string> expected;
  std::vector<std::string> names;
  bool listed = false;
  {
    MemoryFile whole(package);
    MemoryFile file(std::string_view(package).substr(0, trailer::LogicalEnd(whole)));
    int16_t count = 0;
    std::vector<trailer::Entry> entries;
    listed = !trailer::ReadCount(file, &count) && !trailer::ReadEntries(file, count, &entries);
    for (const trailer::Entry& e : entries) {
      names.push_back(e.name);
      expected[fakes::WinPath(e.name)] = package.substr(e.dataOffset, e.size);
    }
  }

  fakes::FakeMachine m;
  m.files.files[kExe] = package;
  m.system.commandLine = kArgs[static_cast<int>(then)];
  m.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
  m.shell.folders[ShellFolder::kDesktop] = "C:\\Users\\u\\Desktop";
  m.shell.folders[ShellFolder::kFavorites] = "C:\\Users\\u\\Favorites";
  m.shell.folders[ShellFolder::kProfile] = "C:\\Users\\u";
  // One face counts as installed already, so the overwrite question comes up.
  m.registry.keys[kFontsKey][kInstalledValue] = {kRegSz, "DejaVuSans.ttf"};
  modSelfExtract::EntryCount = 0;
  modSelfExtract::ReadmeFile.clear();
  modSelfExtract::LicenseFile.clear();

  FrmMain form(m.services);
  bool terminated = false;
  try {
    form.Form_Load();
  } catch (const fakes::Terminated&) {
    terminated = true;
  }

  if (!listed) {
    FUZZ_CHECK(terminated);
    FUZZ_CHECK(m.files.files.size() == 1);
    return 0;
  }
  FUZZ_CHECK(form.lstFiles == names);
  FUZZ_CHECK(FilesIn(m.files, kTemp) == expected);
  if (!terminated) {
    FUZZ_CHECK(m.windows[Control::frmMain].visible);
    FUZZ_CHECK(m.windows.boxes.empty());
    if (then == Then::kClose) {
      int16_t cancel = 0;
      form.Form_Unload(cancel);
      FUZZ_CHECK(FilesIn(m.files, kTemp).empty());
    } else {
      // Readme, Licence, Ready or Install: at most four pages to walk.
      for (int click = 0; click < 5 && !terminated; ++click) try {
          form.cmdNext_Click();
        } catch (const fakes::Terminated&) {
          terminated = true;
        }
      FUZZ_CHECK(terminated);
    }
  }
  FUZZ_CHECK(!m.files.files.count(kResourceFile));

  // Outside the temporary folder: extract-only copies non-manifest entries
  // beside the program, an install copies listed fonts into the Fonts folder.
  const bool installs = then == Then::kSilentInstall || then == Then::kClickThrough;
  for (const auto& [path, bytes] : m.files.files) {
    if (path == kExe || StartsWith(path, kTemp)) continue;
    if (StartsWith(path, kAppFolder)) {
      FUZZ_CHECK(then == Then::kExtractOnly);
      const std::string name = path.substr(sizeof kAppFolder - 1);
      FUZZ_CHECK(expected.count(name) && expected[name] == bytes);
      FUZZ_CHECK(Listed(names, name, [](const std::string& n) { return NameEnding(n) != "DAT"; }));
    } else if (StartsWith(path, kFontsFolder)) {
      FUZZ_CHECK(installs);
      const std::string name = path.substr(sizeof kFontsFolder - 1);
      FUZZ_CHECK(expected.count(name) && expected[name] == bytes);
      FUZZ_CHECK(Listed(names, name, [](const std::string& n) { return IsFontFileName(n); }));
    } else {
      FUZZ_CHECK(!"a file written outside the expected folders");
    }
  }
  // Fonts are listed once each, as the file system tells names apart, and
  // without padding.
  std::set<std::string> keys;
  for (const std::string& font : form.lstFonts) {
    FUZZ_CHECK(keys.insert(m.files.NameKey(font)).second);
    FUZZ_CHECK(font.empty() || font.back() != ' ');
  }
  // A web link is a file of its own whose lines are the program's.
  for (const auto& [path, address] : m.shell.shortcuts) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    FUZZ_CHECK(IsSafeName(name) && name.find_first_not_of(" .") < name.size() - 4);
    FUZZ_CHECK(IsWebAddress(address));
  }
  // The Fonts key gains values for listed fonts only.
  for (const auto& [value, entry] : m.registry.keys[kFontsKey]) {
    if (value == kInstalledValue && entry.data == "DejaVuSans.ttf") continue;
    FUZZ_CHECK(installs);
    FUZZ_CHECK(std::find(form.lstFonts.begin(), form.lstFonts.end(), entry.data) !=
               form.lstFonts.end());
  }
  return 0;
}
