// A whole start-up run against the fakes, with the fuzz input as the
// program's own file. The last byte of the tail block (never read by the
// program) picks the command line, so one corpus reaches the wizard, the
// extract-only run and the silent install.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fakes.h"
#include "fonts/face_name.h"
#include "fuzz/check.h"
#include "package/memory_file.h"
#include "package/self_extract.h"
#include "package/trailer.h"
#include "shell/frm_main.h"
#include "shell/text.h"

using namespace sorvela;

namespace {

constexpr char kExe[] = "C:\\Fonts Setup\\setup.exe";
constexpr char kAppFolder[] = "C:\\Fonts Setup\\";
constexpr char kTemp[] = "C:\\Temp\\";
constexpr char kFontsFolder[] = "C:\\Windows\\Fonts\\";
constexpr char kResourceFile[] = "C:\\Fonts Setup\\~TEMP.FOT";

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
  static const char* const kSwitches[] = {"", "/E", " /i ", "/?"};
  const std::string args = size ? kSwitches[data[size - 1] % 4] : "";

  // What the package holds, read independently of the run: the temporary
  // folder must end up with exactly these files (of namesakes, the later one).
  std::map<std::string, std::string> expected;
  std::vector<std::string> names;
  bool listed = false;
  {
    MemoryFile file(package);
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
  m.system.commandLine = args;
  m.shell.folders[20] = "C:\\Windows\\Fonts";
  m.shell.folders[16] = "C:\\Users\\u\\Desktop";
  m.shell.folders[6] = "C:\\Users\\u\\Favorites";
  // The system's font resource files carry what the name table says.
  for (const auto& [name, bytes] : expected) m.fonts.faces[kTemp + name] = ReadFaceName(bytes);
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
  } else {
    FUZZ_CHECK(form.lstFiles == names);
    FUZZ_CHECK(FilesIn(m.files, kTemp) == expected);
  }
  if (!terminated) {
    FUZZ_CHECK(m.windows[Control::frmMain].visible);
    FUZZ_CHECK(m.windows.boxes.empty());
  }
  FUZZ_CHECK(!m.files.files.count(kResourceFile));

  // Outside the temporary folder: extract-only copies non-manifest entries
  // beside the program, the install copies listed fonts into the Fonts folder.
  const std::string mode = UpperAscii(Trim(args));
  for (const auto& [path, bytes] : m.files.files) {
    if (path == kExe || StartsWith(path, kTemp)) continue;
    if (StartsWith(path, kAppFolder)) {
      FUZZ_CHECK(mode == "/E");
      const std::string name = path.substr(sizeof kAppFolder - 1);
      FUZZ_CHECK(expected.count(name) && expected[name] == bytes);
      FUZZ_CHECK(Listed(names, name, [](const std::string& n) { return NameEnding(n) != "DAT"; }));
    } else if (StartsWith(path, kFontsFolder)) {
      FUZZ_CHECK(mode == "/I");
      const std::string name = path.substr(sizeof kFontsFolder - 1);
      FUZZ_CHECK(expected.count(name) && expected[name] == bytes);
      FUZZ_CHECK(Listed(names, name, [](const std::string& n) { return NameEnding(n) == "TTF"; }));
    } else {
      FUZZ_CHECK(!"a file written outside the expected folders");
    }
  }
  return 0;
}
