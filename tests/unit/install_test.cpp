// The install run in both modes, the wizard's navigation, extract-only mode
// and the clean-up, against fakes.
#include <gtest/gtest.h>

#include "base/text.h"
#include "fakes/fakes.h"
#include "fakes/font_builder.h"
#include "fakes/package.h"
#include "fonts/font_swap.h"
#include "shell/frm_main.h"

namespace sorvela {
namespace {

using fakes::FakeMachine;
using fakes::FakeWindows;
using fakes::MakeFont;
using fakes::Terminated;

constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kDone[] = "Your font was sucessfully installed and is ready to use!";

class InstallTest : public ::testing::Test {
 protected:
  InstallTest() {
    m.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
    m.shell.folders[ShellFolder::kProfile] = "C:\\Users\\me";
    m.shell.folders[ShellFolder::kDesktop] = "C:\\Users\\me\\Desktop";
    m.shell.folders[ShellFolder::kFavorites] = "C:\\Users\\me\\Favorites";
    form.ExtractPath = "C:\\Temp\\";
    form.AppPath = "C:\\Setup\\";
    form.URL = "http://fonts.example/";
    form.URLTitle = "Fonts Home";
    AddFont("a.ttf", "Alpha");
    AddFont("b.ttf", "Beta");
  }
  void AddFont(const std::string& file, const std::string& face) {
    form.lstFonts.push_back(file);
    form.lstFiles.push_back(file);
    m.files.files["C:\\Temp\\" + file] = MakeFont(face);
  }
  bool Run(bool silent) {
    try {
      form.InstallFonts(silent);
      return false;
    } catch (const Terminated&) {
      return true;
    }
  }
  std::string Picture(Control c) { return m.windows[c].picture; }
  // A run of its own on another machine with the fixture's folders: one
  // font, Alpha, extracted as file.
  void OneFont(FakeMachine& fm, FrmMain& f, const std::string& file = "a.ttf") {
    fm.shell.folders = m.shell.folders;
    f.ExtractPath = "C:\\Temp\\";
    f.lstFonts = {file};
    fm.files.files["C:\\Temp\\" + file] = MakeFont("Alpha");
  }
  std::string Registered(const std::string& face) {
    auto& values = m.registry.keys[kNtKey];
    auto it = values.find(face + " (TrueType)");
    return it == values.end() ? "<none>" : it->second.data;
  }
  FakeMachine m;
  FrmMain form{m.services};
};

TEST_F(InstallTest, WizardRunCopiesRegistersBroadcastsAndLinks) {
  EXPECT_FALSE(Run(false));
  EXPECT_EQ(m.files.files["C:\\Windows\\Fonts\\a.ttf"], MakeFont("Alpha"));
  EXPECT_EQ(m.files.files["C:\\Windows\\Fonts\\b.ttf"], MakeFont("Beta"));
  EXPECT_EQ(Registered("Alpha"), "a.ttf");
  EXPECT_EQ(Registered("Beta"), "b.ttf");
  EXPECT_EQ(m.fonts.added,
            (std::vector<std::string>{"C:\\Windows\\Fonts\\a.ttf", "C:\\Windows\\Fonts\\b.ttf"}));
  EXPECT_EQ(m.fonts.broadcasts, 1);
  EXPECT_EQ(m.shell.shortcuts,
            (std::map<std::string, std::string>{
                {"C:\\Users\\me\\Desktop\\Fonts Home.url", "http://fonts.example/"},
                {"C:\\Users\\me\\Favorites\\Fonts Home.url", "http://fonts.example/"}}));
  for (Control step : {Control::imgCopy, Control::imgRegister, Control::imgLinks})
    EXPECT_EQ(Picture(step), "pass");
  EXPECT_EQ(m.windows[Control::lblInstall].text, kDone);
  EXPECT_EQ(m.windows[Control::cmdNext].text, "&Finish");
  EXPECT_TRUE(m.windows[Control::cmdNext].enabled);
  EXPECT_FALSE(m.windows[Control::cmdCancel].enabled);
  EXPECT_TRUE(m.windows.boxes.empty());
  // Buttons go off before anything is painted; one repaint per step after that.
  EXPECT_EQ(m.windows.log[0], "disable cmdNext");
  EXPECT_EQ(m.windows.log[1], "disable cmdCancel");
  EXPECT_EQ(m.windows.log[2], "refresh frmMain");
  EXPECT_EQ(m.windows.refreshes, 4);
}

TEST_F(InstallTest, SilentRunHidesTheWindowAndEndsTheProgram) {
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(m.windows.log[2], "hidden frmMain");
  EXPECT_EQ(Registered("Beta"), "b.ttf");
  EXPECT_TRUE(m.windows.boxes.empty());
  EXPECT_EQ(m.system.terminations, 1);
}

TEST_F(InstallTest, EmptyFontListStillBroadcastsAndLinks) {
  form.lstFonts.clear();
  EXPECT_FALSE(Run(false));
  EXPECT_EQ(m.fonts.broadcasts, 1);
  EXPECT_EQ(m.shell.shortcuts.size(), 2u);
  EXPECT_EQ(Picture(Control::imgLinks), "pass");
  EXPECT_EQ(m.windows[Control::lblInstall].text, kDone);
}

TEST_F(InstallTest, WebLinksNeedBothTexts) {
  for (int missing = 0; missing < 2; ++missing) {
    FakeMachine fm;
    fm.shell.folders = m.shell.folders;
    FrmMain f(fm.services);
    f.URL = missing == 0 ? "" : "http://x/";
    f.URLTitle = missing == 1 ? "" : "Title";
    f.InstallFonts(false);
    EXPECT_TRUE(fm.shell.shortcuts.empty());
    EXPECT_EQ(fm.windows[Control::imgLinks].picture, "pass");
  }
}

// One question for the installed fonts, however many: one by its name, more
// by their first ten names and a count; both versions where they differ. No
// keeps every installed font as it is registered.
TEST_F(InstallTest, OneQuestionForTheInstalledFonts) {
  const auto versioned = [](const std::string& name, const std::string& version) {
    return fakes::FontWithNames(
        fakes::NameTable({{1, name}, {2, "Regular"}, {4, name}, {5, version}}));
  };
  const struct {
    const char* what;
    int installed;         // of the fonts F0, F1, ... of the package
    int offered = 2;       // fonts in the package
    bool newer = false;    // the package's are version 2, the installed version 1
    const char* question;  // "" for none
  } cases[] = {
      {"none installed", 0, 2, false, ""},
      {"one", 1, 2, false, "F0\r\nThis font is already installed.\r\nDo you want to overwrite it?"},
      {"one of another version", 1, 2, true,
       "F0\r\nInstalled: Version 1\r\nThis package: Version 2\r\nThis font is already "
       "installed.\r\nDo you want to overwrite it?"},
      {"two", 2, 2, false,
       "These fonts are already installed:\r\nF0\r\nF1\r\nDo you want to overwrite them?"},
      {"twelve", 12, 12, false,
       "These fonts are already installed:\r\nF0\r\nF1\r\nF2\r\nF3\r\nF4\r\nF5\r\nF6\r\nF7"
       "\r\nF8\r\nF9\r\nand 2 more\r\nDo you want to overwrite them?"},
  };
  for (const auto& c : cases) {
    for (int answer : {kIdYes, kIdNo}) {
      FakeMachine fm;
      fm.shell.folders = m.shell.folders;
      FrmMain f(fm.services);
      f.ExtractPath = "C:\\Temp\\";
      for (int i = 0; i < c.offered; ++i) {
        const std::string name = "F" + std::to_string(i), file = name + ".ttf";
        f.lstFonts.push_back(file);
        fm.files.files["C:\\Temp\\" + file] = versioned(name, c.newer ? "Version 2" : "Version 1");
        if (i >= c.installed) continue;
        fm.files.files["C:\\Windows\\Fonts\\old" + file] = versioned(name, "Version 1");
        fm.registry.keys[kNtKey][name + " (TrueType)"] = {kRegSz, "old" + file};
      }
      fm.windows.answers = {answer};
      f.InstallFonts(false);
      EXPECT_EQ(f.ExitCode(), 0u) << c.what;
      ASSERT_EQ(fm.windows.boxes.size(), *c.question ? 1u : 0u) << c.what;
      if (*c.question) {
        EXPECT_EQ(fm.windows.boxes[0].text, c.question) << c.what;
        EXPECT_EQ(fm.windows.boxes[0].title, "Overwrite");
        EXPECT_EQ(fm.windows.boxes[0].style, kMbYesNoInformation + kMbUtf8);
      }
      // Kept fonts stay registered as they are, their new files never copied.
      const bool keep = answer == kIdNo;
      EXPECT_EQ(fm.registry.keys[kNtKey]["F0 (TrueType)"].data,
                keep && c.installed ? "oldF0.ttf" : "F0.ttf")
          << c.what;
      EXPECT_EQ(fm.files.files.count("C:\\Windows\\Fonts\\F0.ttf"), keep && c.installed ? 0u : 1u)
          << c.what;
      EXPECT_EQ(
          fm.registry.keys[kNtKey][std::string("F") + std::to_string(c.offered - 1) + " (TrueType)"]
              .data,
          keep && c.installed == c.offered ? "oldF" + std::to_string(c.offered - 1) + ".ttf"
                                           : "F" + std::to_string(c.offered - 1) + ".ttf")
          << c.what;
    }
  }
}

// Each style and each kind of font under its own value; a second run asks
// about each font by its own name, and the answers are kept apart.
TEST_F(InstallTest, FamiliesOpenTypeAndCollections) {
  form.lstFonts.clear();
  const struct {
    const char* file;
    std::string bytes;
    const char* value;
  } fonts[] = {
      {"s.ttf", MakeFont("Sans", "Sans", "Book"), "Sans (TrueType)"},
      {"sb.ttf", MakeFont("Sans Bold", "Sans", "Bold"), "Sans Bold (TrueType)"},
      {"si.TTF ", MakeFont("Sans Oblique", "Sans", "Oblique"), "Sans Oblique (TrueType)"},
      {"n.otf", MakeFont("Nimbus-Regular", "Nimbus", "Regular", true), "Nimbus-Regular (OpenType)"},
      {"misnamed.ttf", MakeFont("Cff-Bold", "Cff", "Bold", true), "Cff-Bold (OpenType)"},
      {"pair.ttc", fakes::MakeCollection({MakeFont("Serif"), MakeFont("Serif Bold", "Serif")}),
       "Serif & Serif Bold (TrueType)"},
  };
  for (const auto& f : fonts) {
    form.lstFonts.push_back(f.file);
    m.files.files[fakes::WinPath("C:\\Temp\\" + std::string(f.file))] = f.bytes;
  }
  EXPECT_TRUE(Run(true));
  auto& values = m.registry.keys[kNtKey];
  EXPECT_EQ(values.size(), 6u);
  for (const auto& f : fonts) EXPECT_EQ(values[f.value].data, Trim(f.file)) << f.value;
  EXPECT_TRUE(m.windows.boxes.empty());

  // Again: one question names each font by its own name.
  m.windows.answers = {kIdNo};
  EXPECT_TRUE(Run(true));
  ASSERT_EQ(m.windows.boxes.size(), 1u);
  EXPECT_EQ(m.windows.boxes[0].text,
            "These fonts are already installed:\r\nSans\r\nSans Bold\r\nSans Oblique\r\n"
            "Nimbus-Regular\r\nCff-Bold\r\nSerif & Serif Bold\r\nDo you want to overwrite them?");
}

// A file of the same name that holds another font is not replaced: the
// font goes under the first free "name_N" instead.
TEST_F(InstallTest, AnotherFontsFileIsKept) {
  const std::string alpha = MakeFont("Alpha"), other = MakeFont("Other");
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> present;  // Fonts folder files
    const char* file;                                          // listed name
    const char* target;
  } cases[] = {
      {"nothing there", {}, "a.ttf", "a.ttf"},
      {"the same bytes", {{"a.ttf", alpha}}, "a.ttf", "a.ttf"},
      {"another version of the font", {{"a.ttf", alpha + '\0'}}, "a.ttf", "a.ttf"},
      {"no font at all", {{"a.ttf", "junk"}}, "a.ttf", "a.ttf"},
      {"another font", {{"a.ttf", other}}, "a.ttf", "a_2.ttf"},
      {"another font twice",
       {{"a.ttf", other}, {"a_2.ttf", MakeFont("Third")}},
       "a.ttf",
       "a_3.ttf"},
      {"this font from an earlier run", {{"a.ttf", other}, {"a_2.ttf", alpha}}, "a.ttf", "a_2.ttf"},
      {"a name without an extension", {{"xTTF", other}}, "xTTF", "xTTF_2"},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    FrmMain f(fm.services);
    OneFont(fm, f, c.file);
    for (const auto& [name, bytes] : c.present)
      fm.files.files["C:\\Windows\\Fonts\\" + name] = bytes;
    f.InstallFonts(false);
    EXPECT_EQ(fm.windows[Control::cmdNext].text, "&Finish") << c.what;
    EXPECT_EQ(fm.files.files["C:\\Windows\\Fonts\\" + std::string(c.target)], alpha) << c.what;
    EXPECT_EQ(fm.registry.keys[kNtKey]["Alpha (TrueType)"].data, c.target) << c.what;
    for (const auto& [name, bytes] : c.present) {
      if (name == c.target) continue;
      EXPECT_EQ(fm.files.files["C:\\Windows\\Fonts\\" + name], bytes) << c.what;
    }
  }
}

TEST_F(InstallTest, FailedCopyIsReportedAndNothingIsLeft) {
  m.files.failMoveTo.insert("C:\\Windows\\Fonts\\b.ttf");
  EXPECT_FALSE(Run(false));
  EXPECT_EQ(m.windows[Control::cmdNext].text, "&Close");
  EXPECT_EQ(m.windows[Control::lblInstall].color, 0x0000FFu);
  EXPECT_EQ(m.windows[Control::lblInstall].text,
            "There was an error installing the fonts. Restart your computer and try again. If "
            "the problem persists, contact Brimvale Technical Support. Error: 32 The file is in "
            "use");
  EXPECT_EQ(Picture(Control::imgCopy), "fail");
  EXPECT_EQ(Picture(Control::imgRegister), "");
  EXPECT_EQ(m.fonts.broadcasts, 0);
  // The font that was moved in before goes again; nothing staged is left.
  for (const auto& [path, bytes] : m.files.files)
    EXPECT_NE(path.rfind("C:\\Windows\\Fonts\\", 0), 0u) << path;
}

TEST_F(InstallTest, FailureStagesMarkTheirStep) {
  const struct {
    const char* what;
    std::function<void(FakeMachine&)> breakIt;
    const char* copy;
    const char* reg;
    const char* links;
  } cases[] = {
      {"no Fonts folder answer",
       [](FakeMachine& fm) { fm.shell.pathless.insert(ShellFolder::kFonts); }, "", "", ""},
      {"registry refuses", [](FakeMachine& fm) { fm.registry.failSet = 5; }, "pass", "fail", ""},
      {"font load refused",
       [](FakeMachine& fm) { fm.fonts.failAdd.insert("C:\\Windows\\Fonts\\b.ttf"); }, "pass",
       "fail", ""},
      {"a font file unreadable",
       [](FakeMachine& fm) { fm.files.failOpen.insert("C:\\Temp\\b.ttf"); }, "fail", "", ""},
      {"not a usable font", [](FakeMachine& fm) { fm.files.files["C:\\Temp\\b.ttf"] = "wOFF"; },
       "fail", "", ""},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.shell.folders = m.shell.folders;
    fm.system.appFolder = "C:\\Setup";
    FrmMain f(fm.services);
    f.ExtractPath = "C:\\Temp\\";
    f.lstFonts = {"a.ttf", "b.ttf"};
    for (const char* file : {"a.ttf", "b.ttf"})
      fm.files.files[std::string("C:\\Temp\\") + file] = MakeFont(file);
    c.breakIt(fm);
    f.InstallFonts(false);
    // Fonts are checked before any is copied; a refused one is never registered.
    if (std::string(c.copy) != "pass") {
      EXPECT_FALSE(fm.files.files.count("C:\\Windows\\Fonts\\a.ttf")) << c.what;
    }
    EXPECT_FALSE(fm.registry.keys[kNtKey].count("b.ttf (TrueType)")) << c.what;
    EXPECT_EQ(fm.windows[Control::imgCopy].picture, c.copy) << c.what;
    EXPECT_EQ(fm.windows[Control::imgRegister].picture, c.reg) << c.what;
    EXPECT_EQ(fm.windows[Control::imgLinks].picture, c.links) << c.what;
    EXPECT_EQ(fm.windows[Control::cmdNext].text, "&Close") << c.what;
    EXPECT_TRUE(fm.windows[Control::cmdNext].enabled) << c.what;
    EXPECT_FALSE(fm.windows[Control::cmdCancel].enabled) << c.what;
    EXPECT_EQ(fm.fonts.broadcasts, 0) << c.what;
    EXPECT_EQ(fm.windows[Control::lblInstall].color, 0xFFu) << c.what;
  }
}

TEST_F(InstallTest, SilentFailureShowsOneErrorBox) {
  m.registry.failSet = 5;
  EXPECT_FALSE(Run(true));  // returns; the caller ends the program
  ASSERT_EQ(m.windows.boxes.size(), 1u);
  EXPECT_EQ(m.windows.boxes[0].text,
            "There was an error installing the fonts: system error 5\r\nRestart your computer "
            "and try again or contact Brimvale Technical Support.");
  EXPECT_EQ(m.windows.boxes[0].title, "Error");
  EXPECT_EQ(m.windows.boxes[0].style, 16);
  EXPECT_FALSE(m.windows[Control::frmMain].visible);
}

// Each way to end the wizard, with the exit code deployment tools read.
TEST_F(InstallTest, EveryWayToEndHasItsExitCode) {
  const struct {
    const char* what;
    bool breakCopy;
    bool install;
    std::function<void(FrmMain&)> end;  // nullptr: the close box
    uint32_t code;
  } cases[] = {
      {"Cancel before the install", false, false, [](FrmMain& f) { f.cmdCancel_Click(); }, 1602},
      {"close box before the install", false, false, nullptr, 1602},
      {"Finish", false, true, [](FrmMain& f) { f.cmdNext_Click(); }, 0},
      {"close box after success", false, true, nullptr, 0},
      {"Close after a failure", true, true, [](FrmMain& f) { f.cmdNext_Click(); }, 1603},
      {"close box after a failure", true, true, nullptr, 1603},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    FrmMain f(fm.services);
    OneFont(fm, f);
    if (c.breakCopy) fm.files.failMoveTo.insert("C:\\Windows\\Fonts\\a.ttf");
    f.CurrentPage = Control::picReady;
    if (c.install) f.cmdNext_Click();  // Ready: installs
    if (c.end) {
      EXPECT_THROW(c.end(f), Terminated) << c.what;
      EXPECT_EQ(fm.system.exitCode, c.code) << c.what;
    } else {
      EXPECT_EQ(f.ExitCode(), c.code) << c.what;
    }
  }
}

// Whose fonts: everyone's when the process may write them, else the user's
// own where the system takes fonts per user; asked for, the user's own or a
// failure that writes nothing.
TEST_F(InstallTest, ScopeFollowsRightsVersionAndTheWord) {
  const struct {
    const char* what;
    bool elevated;
    uint32_t build;  // of Windows 10; 0: the version call fails
    bool asked;
    const char* outcome;  // "all", "user" or "refused"
  } cases[] = {
      {"administrator", true, 19045, false, "all"},
      {"user, 1809", false, 17763, false, "user"},
      {"user, 1803", false, 17134, false, "all"},
      {"user, version unknown", false, 0, false, "all"},
      {"administrator asking", true, 17763, true, "user"},
      {"asking on 1803", true, 17134, true, "refused"},
      {"asking, version unknown", false, 0, true, "refused"},
  };
  const std::string userFonts = "C:\\Local\\Microsoft\\Windows\\Fonts\\";
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.shell.folders = m.shell.folders;
    fm.shell.folders[ShellFolder::kLocalAppData] = "C:\\Local";
    fm.system.elevated = c.elevated;
    fm.system.version[0] = c.build ? 10 : 0;
    fm.system.version[2] = c.build;
    fm.system.commandLine = c.asked ? "/CURRENTUSER /Q" : "/Q";
    fm.files.files["C:\\Fonts Setup\\setup.exe"] =
        fakes::MakePackage({{"kestrel.dat", fakes::Manifest()}, {"a.ttf", MakeFont("Alpha")}});
    FrmMain f(fm.services);
    EXPECT_THROW(f.Form_Load(), Terminated) << c.what;
    const std::string outcome = c.outcome;
    EXPECT_EQ(fm.system.exitCode, outcome == "refused" ? 1603u : 0u) << c.what;
    EXPECT_EQ(fm.files.files.count("C:\\Windows\\Fonts\\a.ttf"), outcome == "all" ? 1u : 0u)
        << c.what;
    EXPECT_EQ(fm.files.files.count(userFonts + "a.ttf"), outcome == "user" ? 1u : 0u) << c.what;
    EXPECT_EQ(fm.registry.keys["HKCU\\" + std::string(kNtKey)]["Alpha (TrueType)"].data,
              outcome == "user" ? userFonts + "a.ttf" : "")
        << c.what;
    if (outcome == "refused") {
      EXPECT_TRUE(fm.files.folders.empty()) << c.what;
      EXPECT_TRUE(fm.fonts.added.empty()) << c.what;
    }
  }
  // The same refusal in the wizard tells why.
  FakeMachine old;
  old.system.version[2] = 17134;
  FrmMain f(old.services);
  f.Scope = FontScope::kCurrentUser;
  f.InstallFonts(false);
  EXPECT_EQ(old.windows[Control::lblInstall].text.substr(
                old.windows[Control::lblInstall].text.find("Error: ")),
            "Error: Administrator rights are needed: this version of Windows installs fonts "
            "for all users only.");
}

TEST_F(InstallTest, QuietRunOverwritesAndFailsWithoutAWord) {
  form.Quiet = true;
  m.registry.keys[kNtKey]["Alpha (TrueType)"] = {kRegSz, "a.ttf"};
  m.files.files["C:\\Windows\\Fonts\\a.ttf"] = "an older Alpha";
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(m.system.exitCode, 0u);
  EXPECT_TRUE(m.windows.boxes.empty());
  EXPECT_EQ(m.files.files["C:\\Windows\\Fonts\\a.ttf"], MakeFont("Alpha"));

  // A user's font folder that can't be made: the system's code, no box.
  FakeMachine fm;
  fm.shell.folders[ShellFolder::kLocalAppData] = "C:\\Local";
  fm.files.failWrite.insert("C:\\Local\\Microsoft\\Windows");
  FrmMain f(fm.services);
  f.Quiet = true;
  f.Scope = FontScope::kCurrentUser;
  f.InstallFonts(true);  // returns: the caller ends with the failure's exit code
  EXPECT_TRUE(fm.windows.boxes.empty());
  EXPECT_EQ(f.ExitCode(), 1603u);
}

TEST_F(InstallTest, RestartWordingAndNeedRestart) {
  form.RestartNeeded = true;
  EXPECT_FALSE(Run(false));
  EXPECT_EQ(m.windows[Control::lblInstall].text,
            "Your font was sucessfully installed, but you may need to restart your computer.");
  form.NeedRestart();
  EXPECT_FALSE(form.RestartNeeded);
}

TEST_F(InstallTest, WizardWalksPagesToTheInstall) {
  // Ready shows only as the first page: Next from any page goes on to the
  // Licence when there is one, else straight to the install.
  const struct {
    Control from;
    bool licence;
    std::vector<Control> then;
  } walks[] = {
      {Control::picReadme, true, {Control::picLicense, Control::picInstall}},
      {Control::picReadme, false, {Control::picInstall}},
      {Control::picLicense, true, {Control::picInstall}},
      {Control::picReady, false, {Control::picInstall}},
  };
  for (const auto& w : walks) {
    FakeMachine fm;
    FrmMain f(fm.services);
    OneFont(fm, f);
    fm.windows[Control::txtReadme].text = "readme";
    if (w.licence) fm.windows[Control::txtLicense].text = "licence";
    f.CurrentPage = w.from;
    for (Control page : w.then) {
      const Control was = f.CurrentPage;
      f.cmdNext_Click();
      EXPECT_EQ(f.CurrentPage, page) << FakeWindows::Name(w.from);
      EXPECT_TRUE(fm.windows[page].visible) << FakeWindows::Name(w.from);
      EXPECT_FALSE(fm.windows[was].visible) << FakeWindows::Name(w.from);
    }
    EXPECT_EQ(fm.windows[Control::cmdNext].text, "&Finish") << FakeWindows::Name(w.from);
  }

  // Readme page with a licence: Next shows the licence, then installs.
  m.windows[Control::txtLicense].text = "licence\r\n";
  form.CurrentPage = Control::picReadme;
  form.cmdNext_Click();
  EXPECT_TRUE(m.windows[Control::picLicense].visible);
  EXPECT_FALSE(m.windows[Control::picReadme].visible);
  EXPECT_EQ(m.fonts.broadcasts, 0);
  form.cmdNext_Click();
  EXPECT_TRUE(m.windows[Control::picInstall].visible);
  EXPECT_FALSE(m.windows[Control::picLicense].visible);
  EXPECT_EQ(m.windows[Control::cmdNext].text, "&Finish");
  EXPECT_THROW(form.cmdNext_Click(), Terminated);  // Finish ends the program
  EXPECT_FALSE(m.files.log.empty());
  const size_t removes =
      std::count_if(m.files.log.begin(), m.files.log.end(),
                    [](const std::string& l) { return l.rfind("remove C:\\Temp", 0) == 0; });
  EXPECT_EQ(removes, 0u);  // the extracted files stay
}

TEST_F(InstallTest, NextBeforeTheFirstPageDoesNothingAndCancelEnds) {
  m.windows.log.clear();
  form.cmdNext_Click();
  EXPECT_TRUE(m.windows.log.empty());
  EXPECT_EQ(m.fonts.broadcasts, 0);
  EXPECT_THROW(form.cmdCancel_Click(), Terminated);
}

TEST_F(InstallTest, LabelOpensThePublisherAsTheDesktopUserAndChangesNothingElse) {
  const std::string address = kPublisherAddress;
  using Open = Shell::DesktopOpen;
  const struct {
    bool elevated;
    Open desktopShell;
    std::vector<std::string> opened;
  } cases[] = {
      {true, Open::kOpened, {"desktop " + address}},
      // Refused by the user's shell, it opens nowhere rather than elevated.
      {true, Open::kRefused, {"desktop " + address + " refused"}},
      {true, Open::kNoShell, {address}},
      {false, Open::kOpened, {address}},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.system.elevated = c.elevated;
    fm.shell.desktopShell = c.desktopShell;
    FrmMain f(fm.services);
    f.Label9_Click();
    EXPECT_EQ(fm.shell.opened, c.opened) << c.elevated << int(c.desktopShell);
    EXPECT_TRUE(fm.windows.log.empty());
  }
}

// A fault nobody foresaw, during the install or on the way to it, ends in
// the failure path: red text, Close, and Close ends with the failure's code.
TEST_F(InstallTest, AFaultInTheWizardEndsAsAFailedInstall) {
  for (Control page : {Control::picReady, Control::picReadme}) {
    FakeMachine fm;
    FrmMain f(fm.services);
    OneFont(fm, f);
    fm.files.throwOnOpen.insert("C:\\Temp\\a.ttf");
    f.CurrentPage = page;
    ASSERT_NO_THROW(f.cmdNext_Click());
    EXPECT_EQ(f.CurrentPage, Control::picInstall);
    EXPECT_TRUE(fm.windows[Control::picInstall].visible);
    EXPECT_FALSE(fm.windows[page].visible);
    EXPECT_EQ(fm.windows[Control::lblInstall].color, 0xFFu);
    EXPECT_EQ(
        fm.windows[Control::lblInstall].text.rfind("There was an error installing the fonts.", 0),
        0u);
    EXPECT_EQ(fm.windows[Control::cmdNext].text, "&Close");
    EXPECT_TRUE(fm.windows[Control::cmdNext].enabled);
    EXPECT_FALSE(fm.windows[Control::cmdCancel].enabled);
    EXPECT_FALSE(fm.files.files.count("C:\\Windows\\Fonts\\a.ttf"));
    EXPECT_THROW(f.cmdNext_Click(), Terminated);
    EXPECT_EQ(fm.system.exitCode, 1603u);
  }
}

}  // namespace
}  // namespace sorvela
