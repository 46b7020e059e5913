// Upgrades: what each kind of installed font leaves after a quiet install of
// a newer version: files, values, loads, moves at the restart, the exit code.
#include <gtest/gtest.h>

#include <functional>

#include "fakes/fakes.h"
#include "fakes/font_builder.h"
#include "shell/frm_main.h"

namespace sorvela {
namespace {

using fakes::FakeMachine;

constexpr char kFonts[] = "C:\\Windows\\Fonts\\";
constexpr char kKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kUserFonts[] = "C:\\Users\\u\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
constexpr char kUserKey[] = "HKCU\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kRunOnce[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string Font(const std::string& name, int version) {
  return fakes::FontWithNames(fakes::NameTable(
      {{1, name}, {2, "Regular"}, {4, name}, {5, "Version " + std::to_string(version)}}));
}

struct Installed {
  std::string file;
  std::string name;   // the font's full name
  bool held = false;  // by another program, for good
};

TEST(Upgrade, EachKindOfInstalledFont) {
  const struct {
    const char* what;
    std::vector<Installed> installed;                          // version 1, registered and loaded
    std::vector<std::pair<std::string, std::string>> package;  // file, font name: version 2
    std::function<void(FakeMachine&)> set;                     // nullptr: elevated, for all users
    // What the Fonts folder holds after the run, file -> version (0: the
    // staged copy, under a name of its own), and what each value names.
    std::map<std::string, int> files;
    std::map<std::string, std::string> values;
    size_t atRestart;  // replacements the system carries out at its restart
    uint32_t code;
  } cases[] = {
      {"a font not in use is unloaded and replaced",
       {{"Lyfcyc.ttf", "Lyfcyc"}},
       {{"Lyfcyc.ttf", "Lyfcyc"}},
       nullptr,
       {{"Lyfcyc.ttf", 2}},
       {{"Lyfcyc", "Lyfcyc.ttf"}},
       0,
       0},
      {"held for good: replaced at the restart, the value naming the final file",
       {{"Lyfcyc.ttf", "Lyfcyc", true}},
       {{"Lyfcyc.ttf", "Lyfcyc"}},
       nullptr,
       {{"Lyfcyc.ttf", 1}, {"~", 0}},
       {{"Lyfcyc", "Lyfcyc.ttf"}},
       1,
       3010},
      {"held for good and nothing can wait for a restart: all stays as it was",
       {{"Lyfcyc.ttf", "Lyfcyc", true}},
       {{"Lyfcyc.ttf", "Lyfcyc"}},
       [](FakeMachine& fm) {
         fm.system.elevated = false;
         fm.system.version[0] = 6, fm.system.version[1] = 1;  // no fonts for one user
       },
       {{"Lyfcyc.ttf", 1}},
       {{"Lyfcyc", "Lyfcyc.ttf"}},
       0,
       1603},
      {"a renamed file: the old one goes",
       {{"Lyfcyc.ttf", "Lyfcyc"}},
       {{"v2.ttf", "Lyfcyc"}},
       nullptr,
       {{"v2.ttf", 2}},
       {{"Lyfcyc", "v2.ttf"}},
       0,
       0},
      {"a renamed file that another value still names stays",
       {{"Lyfcyc.ttf", "Lyfcyc"}},
       {{"v2.ttf", "Lyfcyc"}},
       [](FakeMachine& fm) {
         fm.registry.keys[kKey]["Other (TrueType)"] = {kRegSz, "Lyfcyc.ttf"};
       },
       {{"Lyfcyc.ttf", 1}, {"v2.ttf", 2}},
       {{"Lyfcyc", "v2.ttf"}, {"Other", "Lyfcyc.ttf"}},
       0,
       0},
      {"a family with one member held, no restart to wait for: both stay version 1",
       {{"LyfR.ttf", "Lyfcyc"}, {"LyfB.ttf", "Lyfcyc Bold", true}},
       {{"LyfR.ttf", "Lyfcyc"}, {"LyfB.ttf", "Lyfcyc Bold"}},
       [](FakeMachine& fm) {
         fm.system.elevated = false;
         fm.system.version[0] = 6, fm.system.version[1] = 1;
       },
       {{"LyfR.ttf", 1}, {"LyfB.ttf", 1}},
       {{"Lyfcyc", "LyfR.ttf"}, {"Lyfcyc Bold", "LyfB.ttf"}},
       0,
       1603},
      {"a family with one member held: one now, one at the restart",
       {{"LyfR.ttf", "Lyfcyc"}, {"LyfB.ttf", "Lyfcyc Bold", true}},
       {{"LyfR.ttf", "Lyfcyc"}, {"LyfB.ttf", "Lyfcyc Bold"}},
       nullptr,
       {{"LyfR.ttf", 2}, {"LyfB.ttf", 1}, {"~", 0}},
       {{"Lyfcyc", "LyfR.ttf"}, {"Lyfcyc Bold", "LyfB.ttf"}},
       1,
       3010},
      {"one of the system's own fonts is never taken over",
       {{"segoeui.ttf", "Segoe UI"}},
       {{"segoeui.ttf", "Segoe UI"}},
       [](FakeMachine& fm) { fm.files.guarded.insert(std::string(kFonts) + "segoeui.ttf"); },
       {{"segoeui.ttf", 1}},
       {{"Segoe UI", "segoeui.ttf"}},
       0,
       1603},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
    for (const Installed& i : c.installed) {
      fm.files.files[kFonts + i.file] = Font(i.name, 1);
      fm.registry.keys[kKey][i.name + " (TrueType)"] = {kRegSz, i.file};
      (void)fm.fonts.AddFontResource(kFonts + i.file);
      if (i.held) fm.files.held.insert(kFonts + i.file);
    }
    if (c.set) c.set(fm);
    fm.system.commandLine = "/Q";
    FrmMain f(fm.services);
    f.Quiet = true;
    f.ExtractPath = "C:\\Temp\\";
    for (const auto& [file, name] : c.package) {
      f.lstFonts.push_back(file);
      fm.files.files["C:\\Temp\\" + file] = Font(name, 2);
    }
    const size_t writesBefore = fm.files.log.size();
    uint32_t code = 1603;
    try {
      f.InstallFonts(true);
    } catch (const fakes::Terminated&) {
      code = fm.system.exitCode;
    }
    EXPECT_EQ(code, c.code) << c.what;
    std::map<std::string, int> files;
    for (const auto& [path, bytes] : fm.files.files) {
      if (path.rfind(kFonts, 0) != 0) continue;
      const std::string name = path.substr(sizeof kFonts - 1);
      int version = 0;
      for (int v : {1, 2})
        if (bytes == Font("Lyfcyc", v) || bytes == Font("Lyfcyc Bold", v) ||
            bytes == Font("Segoe UI", v))
          version = v;
      files[name[0] == '~' ? "~" : name] = name[0] == '~' ? 0 : version;
    }
    EXPECT_EQ(files, c.files) << c.what;
    std::map<std::string, std::string> values;
    for (const auto& [name, value] : fm.registry.keys[kKey])
      values[name.substr(0, name.size() - 11)] = value.data;
    EXPECT_EQ(values, c.values) << c.what;
    EXPECT_EQ(fm.files.replacedAtRestart.size(), c.atRestart) << c.what;
    // What is in place is loaded once, whatever was loaded before.
    for (const auto& [name, version] : c.files) {
      if (name == "~") continue;
      const bool named =
          std::any_of(c.values.begin(), c.values.end(), [&](auto& v) { return v.second == name; });
      EXPECT_EQ(fm.fonts.loads[kFonts + name], named ? 1 : 0) << c.what << ": " << name;
    }
    if (std::string(c.what).find("system's own") != std::string::npos) {
      // Refused before anything is copied.
      for (size_t i = writesBefore; i < fm.files.log.size(); ++i)
        EXPECT_NE(fm.files.log[i].rfind("write", 0), 0u) << fm.files.log[i];
    }
  }
}

// For one user nothing waits for a restart: the new version goes under a free
// name, is registered and loaded now, and the held old file goes at the
// user's next logon.
TEST(Upgrade, ForOneUserTheHeldFileGoesAtTheNextLogon) {
  FakeMachine fm;
  fm.shell.folders[ShellFolder::kLocalAppData] = "C:\\Users\\u\\AppData\\Local";
  const std::string old = std::string(kUserFonts) + "Lyfcyc.ttf";
  fm.files.files[old] = Font("Lyfcyc", 1);
  fm.registry.keys[kUserKey]["Lyfcyc (TrueType)"] = {kRegSz, old};
  (void)fm.fonts.AddFontResource(old);
  fm.files.held.insert(old);
  FrmMain f(fm.services);
  f.Quiet = true;
  f.Scope = FontScope::kCurrentUser;
  f.ExtractPath = "C:\\Temp\\";
  f.lstFonts = {"Lyfcyc.ttf"};
  fm.files.files["C:\\Temp\\Lyfcyc.ttf"] = Font("Lyfcyc", 2);
  EXPECT_THROW(f.InstallFonts(true), fakes::Terminated);
  EXPECT_EQ(fm.system.exitCode, 0u);
  const std::string now = std::string(kUserFonts) + "Lyfcyc_2.ttf";
  EXPECT_EQ(fm.files.files[now], Font("Lyfcyc", 2));
  EXPECT_EQ(fm.registry.keys[kUserKey]["Lyfcyc (TrueType)"].data, now);
  EXPECT_EQ(fm.fonts.loads[now], 1);
  EXPECT_EQ(fm.fonts.loads[old], 0);
  ASSERT_EQ(fm.registry.keys[kRunOnce].size(), 1u);
  EXPECT_EQ(fm.registry.keys[kRunOnce].begin()->second.data,
            "cmd.exe /d /c del /f /q \"" + old + "\"");
  EXPECT_TRUE(fm.files.replacedAtRestart.empty());
}

}  // namespace
}  // namespace sorvela
