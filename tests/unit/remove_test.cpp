// Removal ("/U") and the entry in the system's list of programs: what each
// kind of installed font leaves, the entry's values, and the kept uninstaller.
#include <gtest/gtest.h>

#include <functional>

#include "fakes/fakes.h"
#include "fakes/font_builder.h"
#include "fakes/package.h"
#include "package/memory_file.h"
#include "package/trailer.h"
#include "shell/frm_main.h"

namespace sorvela {
namespace {

using fakes::FakeMachine;
using fakes::MakeFont;
using fakes::MakePackage;
using fakes::Manifest;
using fakes::Terminated;

constexpr char kExe[] = "C:\\Fonts Setup\\setup.exe";
constexpr char kFonts[] = "C:\\Windows\\Fonts\\";
constexpr char kKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kUserFonts[] = "C:\\Users\\u\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
constexpr char kUserKey[] = "HKCU\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sorvela.Quillo Fonts";

// A machine with the package: Alpha and Beta, web links to the package's address.
void MachineWith(FakeMachine& fm, const std::string& args) {
  fm.files.files[kExe] =
      MakePackage({{"kestrel.dat", Manifest("NOREADME", "NOLICENSE", "Quillo Fonts",
                                            "https://fonts.example/", "Quillo")},
                   {"b.ttf", MakeFont("Beta")},
                   {"a.ttf", MakeFont("Alpha")}});
  fm.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
  fm.shell.folders[ShellFolder::kDesktop] = "C:\\Desk";
  fm.shell.folders[ShellFolder::kFavorites] = "C:\\Fav";
  fm.shell.folders[ShellFolder::kLocalAppData] = "C:\\Users\\u\\AppData\\Local";
  fm.shell.folders[ShellFolder::kProgramFiles] = "C:\\Program Files";
  fm.system.commandLine = args;
}

uint32_t RunOn(FakeMachine& fm) {
  FrmMain f(fm.services);
  try {
    f.Form_Load();
  } catch (const Terminated&) {
    return fm.system.exitCode;
  }
  return 0xFFFFFFFF;
}

TEST(Remove, OnlyWhatThisPackageInstalls) {
  const std::string alpha = std::string(kFonts) + "a.ttf";
  const struct {
    const char* what;
    const char* args;
    std::function<void(FakeMachine&)> set;
    bool alphaValueGoes, alphaFileGoes;
    size_t atRestart;
    uint32_t code;
  } cases[] = {
      {"installed from this package", "/U /Q", nullptr, true, true, 0, 0},
      {"in use, with the rights: the file goes at the restart", "/U /Q",
       [&](FakeMachine& fm) { fm.files.held.insert(alpha); }, true, false, 1, 3010},
      {"in use, without them: the value goes, the file stays", "/U /Q",
       [&](FakeMachine& fm) {
         fm.files.held.insert(alpha);
         fm.files.failRemoveAtRestart = true;
       },
       true, false, 0, 0},
      {"installed from another file", "/U /Q",
       [](FakeMachine& fm) {
         fm.files.files["C:\\Apps\\a.ttf"] = MakeFont("Alpha");
         fm.registry.keys[kKey]["Alpha (TrueType)"] = {kRegSz, "C:\\Apps\\a.ttf"};
       },
       false, false, 0, 0},
      {"another font under the name", "/U /Q",
       [&](FakeMachine& fm) { fm.files.files[alpha] = MakeFont("Gamma"); }, false, false, 0, 0},
      {"one of the system's own", "/U /Q", [&](FakeMachine& fm) { fm.files.guarded.insert(alpha); },
       false, false, 0, 0},
      {"in lower case, the word anywhere", "/uninstall /q /i", nullptr, true, true, 0, 0},
      {"asked, and answered No", "/U", [](FakeMachine& fm) { fm.windows.answers = {kIdNo}; }, false,
       false, 0, 1602},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    MachineWith(fm, c.args);
    // Installed as the install leaves it, web links included.
    fm.files.files[alpha] = MakeFont("Alpha");
    fm.files.files[std::string(kFonts) + "b.ttf"] = MakeFont("Beta");
    fm.registry.keys[kKey]["Alpha (TrueType)"] = {kRegSz, "a.ttf"};
    fm.registry.keys[kKey]["Beta (TrueType)"] = {kRegSz, "b.ttf"};
    (void)fm.fonts.AddFontResource(alpha);
    fm.shell.shortcuts["C:\\Desk\\Quillo.url"] = "https://fonts.example/";
    fm.shell.shortcuts["C:\\Fav\\Quillo.url"] = "https://other.example/";
    if (c.set) c.set(fm);
    EXPECT_EQ(RunOn(fm), c.code) << c.what;
    EXPECT_EQ(!fm.registry.keys[kKey].count("Alpha (TrueType)"), c.alphaValueGoes) << c.what;
    EXPECT_EQ(!fm.files.files.count(alpha), c.alphaFileGoes) << c.what;
    EXPECT_EQ(fm.files.atRestart.size(), c.atRestart) << c.what;
    const bool removing = c.code != 1602;
    EXPECT_EQ(fm.registry.keys[kKey].count("Beta (TrueType)"), removing ? 0u : 1u) << c.what;
    if (c.alphaValueGoes) {
      EXPECT_EQ(fm.fonts.loads[alpha], 0) << c.what;
    }
    // The link to the package's address goes; one to another address stays.
    EXPECT_EQ(fm.shell.shortcuts.count("C:\\Desk\\Quillo.url"), removing ? 0u : 1u) << c.what;
    EXPECT_EQ(fm.shell.shortcuts.count("C:\\Fav\\Quillo.url"), 1u) << c.what;
    EXPECT_EQ(fm.fonts.broadcasts, removing ? 1 : 0) << c.what;
    const bool asked = std::string(c.args) == "/U";
    EXPECT_EQ(fm.windows.boxes.size(), asked ? 1u : 0u) << c.what;
    if (asked) {
      EXPECT_EQ(fm.windows.boxes[0].text, "Remove the fonts of Quillo Fonts?");
    }
  }
}

TEST(Remove, ForOneUserAndWhenNothingIsInstalled) {
  FakeMachine fm;
  MachineWith(fm, "/U /CURRENTUSER");
  const std::string beta = std::string(kUserFonts) + "b.ttf";
  fm.files.files[beta] = MakeFont("Beta");
  fm.registry.keys[kUserKey]["Beta (TrueType)"] = {kRegSz, beta};
  EXPECT_EQ(RunOn(fm), 0u);
  EXPECT_FALSE(fm.files.files.count(beta));
  EXPECT_TRUE(fm.registry.keys[kUserKey].empty());
  ASSERT_EQ(fm.windows.boxes.size(), 2u);
  EXPECT_EQ(fm.windows.boxes[1].text, "Removed the fonts of Quillo Fonts:\r\nBeta");

  FakeMachine none;
  MachineWith(none, "/U");
  EXPECT_EQ(RunOn(none), 0u);
  ASSERT_EQ(none.windows.boxes.size(), 2u);
  EXPECT_EQ(none.windows.boxes[1].text, "None of the fonts of Quillo Fonts was installed.");
}

// A successful install writes the entry and the kept uninstaller; that
// uninstaller, run as the entry says, removes the fonts, the entry and itself.
TEST(Remove, TheEntryAndTheKeptUninstaller) {
  for (bool described : {false, true}) {
    FakeMachine fm;
    MachineWith(fm, "/Q");
    if (described)
      fm.files.files[kExe] =
          MakePackage({{"kestrel.dat", Manifest("NOREADME", "NOLICENSE", "Quillo Fonts",
                                                "https://fonts.example/", "Quillo") +
                                           "\"Quillo Type\"\r\n\"2.1.0\"\r\n\"quillo\"\r\n"},
                       {"a.ttf", MakeFont("Alpha")}});
    EXPECT_EQ(RunOn(fm), 0u);
    const std::string key =
        described ? "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sorvela.quillo"
                  : kEntry;
    const std::string folder = described ? "C:\\Program Files\\Sorvela\\Sorvela.quillo\\"
                                         : "C:\\Program Files\\Sorvela\\Sorvela.Quillo Fonts\\";
    auto& entry = fm.registry.keys[key];
    std::map<std::string, std::string> values;
    for (const auto& [name, value] : entry)
      values[name] = value.type == kRegDword ? std::to_string(uint8_t(value.data[0])) : value.data;
    std::map<std::string, std::string> expected = {
        {"DisplayName", "Quillo Fonts"},
        {"DisplayIcon", folder + "uninstall.exe,0"},
        {"UninstallString", "\"" + folder + "uninstall.exe\" /U"},
        {"QuietUninstallString", "\"" + folder + "uninstall.exe\" /U /Q"},
        {"InstallDate", "20261209"},
        {"URLInfoAbout", "https://fonts.example/"},
        {"EstimatedSize", "1"},
        {"NoModify", "1"},
        {"NoRepair", "1"}};
    if (described) expected["Publisher"] = "Quillo Type", expected["DisplayVersion"] = "2.1.0";
    EXPECT_EQ(values, expected) << described;

    // The uninstaller: no font, the manifest and the value names.
    const std::string& program = fm.files.files[folder + "uninstall.exe"];
    MemoryFile file(program);
    int16_t count = 0;
    std::vector<trailer::Entry> entries;
    ASSERT_FALSE(trailer::ReadCount(file, &count));
    ASSERT_FALSE(trailer::ReadEntries(file, count, &entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "removal.dat");
    EXPECT_EQ(program.substr(entries[1].dataOffset, entries[1].size),
              described ? "Alpha (TrueType)\r\n" : "Alpha (TrueType)\r\nBeta (TrueType)\r\n");
    EXPECT_EQ(program.substr(0, 1000), std::string(1000, 'M'));

    // Run from where it lies, as the entry says: it can't remove itself while
    // it runs, so it goes at the restart.
    FakeMachine after;
    after.files.files = fm.files.files;
    after.registry.keys = fm.registry.keys;
    after.shell.folders = fm.shell.folders;
    after.system.appFolder = folder.substr(0, folder.size() - 1);
    after.system.exeTitle = "uninstall";
    after.system.commandLine = "/U /Q";
    after.files.failRemove.insert(folder + "uninstall.exe");  // it runs
    after.files.files.erase(kExe);
    // Run by a user without the rights over everyone's fonts, it removes
    // nothing and says why, instead of finding none of the user's own.
    after.system.elevated = false;
    EXPECT_EQ(RunOn(after), 1603u);
    EXPECT_EQ(after.registry.keys[kKey].size(), described ? 1u : 2u);
    after.system.elevated = true;
    EXPECT_EQ(RunOn(after), 0u);
    EXPECT_TRUE(after.registry.keys[kKey].empty());
    EXPECT_FALSE(after.files.files.count(std::string(kFonts) + "a.ttf"));
    EXPECT_FALSE(after.registry.keys.count(key));
    EXPECT_EQ(after.files.atRestart, (std::vector<std::string>{folder + "uninstall.exe",
                                                               folder.substr(0, folder.size() - 1),
                                                               "C:\\Program Files\\Sorvela"}));

    // Installed again before that restart: the new uninstaller takes a name
    // the restart won't remove.
    after.files.files[kExe] = fm.files.files[kExe];
    after.files.failRemove.clear();
    after.system.appFolder = "C:\\Fonts Setup";
    after.system.exeTitle = "setup";
    after.system.commandLine = "/Q";
    EXPECT_EQ(RunOn(after), 0u);
    EXPECT_EQ(after.registry.keys[key]["QuietUninstallString"].data,
              "\"" + folder + "uninstall_2.exe\" /U /Q");
    EXPECT_TRUE(after.files.files.count(folder + "uninstall_2.exe"));
  }
}

}  // namespace
}  // namespace sorvela
