// Start-up: listing, extraction, manifest, texts, lists, captions, the
// command line and the ways the program ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "fakes/fakes.h"
#include "fakes/font_builder.h"
#include "fakes/package.h"
#include "package/self_extract.h"
#include "shell/frm_main.h"

namespace sorvela {
namespace {

constexpr char kUserKey[] = "HKCU\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

using fakes::FakeMachine;
using fakes::MakePackage;
using fakes::Manifest;
using fakes::Terminated;
using fakes::TestEntry;

constexpr char kExe[] = "C:\\Fonts Setup\\setup.exe";
constexpr char kTemp[] = "C:\\Temp\\";
// The run's working folder: the first name the fake's random numbers give.
constexpr char kWork[] = "C:\\Temp\\sorvela-1010101010101010\\";

class StartTest : public ::testing::Test {
 protected:
  void Pack(const std::vector<TestEntry>& entries, char pad = '\0') {
    m.files.files[kExe] = MakePackage(entries, pad);
  }
  // Runs Form_Load; true when the program ended during it.
  bool Load() {
    try {
      form.Form_Load();
      return false;
    } catch (const Terminated&) {
      return true;
    }
  }
  bool StartFailedWithMessage() {
    return m.windows.boxes.size() == 1 &&
           m.windows.boxes[0].text == "This Sorvela contains no fonts." &&
           m.windows.boxes[0].title == "Sorvela Error" && m.windows.boxes[0].style == 48;
  }
  FakeMachine m;
  FrmMain form{m.services};
};

TEST_F(StartTest, TypicalPackageFillsListsTextsAndCaptions) {
  Pack({{"readme.txt", "Hello\r\nWorld\r\n"},
        {"kestrel.dat", Manifest("readme.txt", "NOLICENSE", "Sample Fonts")},
        {"Serif.TTF", "serif-bytes"},
        {"Sans.ttf", "sans-bytes"}});
  ASSERT_FALSE(Load());
  EXPECT_EQ(form.lstFiles,
            (std::vector<std::string>{"Sans.ttf", "Serif.TTF", "kestrel.dat", "readme.txt"}));
  EXPECT_EQ(form.lstFonts, (std::vector<std::string>{"Sans.ttf", "Serif.TTF"}));
  EXPECT_EQ(m.windows[Control::lstFiles].items, form.lstFiles);
  EXPECT_EQ(m.windows[Control::lstFonts].items, form.lstFonts);
  EXPECT_EQ(modSelfExtract::EntryCount, 4);
  EXPECT_EQ(m.files.files[std::string(kWork) + "Sans.ttf"], "sans-bytes");
  EXPECT_EQ(m.files.files[std::string(kWork) + "readme.txt"], "Hello\r\nWorld\r\n");
  EXPECT_EQ(m.files.log[1], "mkdir restricted C:\\Temp\\sorvela-1010101010101010");
  // Once to list, once to extract.
  EXPECT_EQ(std::count(m.files.log.begin(), m.files.log.end(), std::string("open ") + kExe), 2);
  EXPECT_EQ(form.ExtractPath, kWork);
  EXPECT_EQ(form.AppPath, "C:\\Fonts Setup\\");
  EXPECT_EQ(form.PackageTitle, "Sample Fonts");
  EXPECT_EQ(form.URL, "http://fonts.example/");
  EXPECT_EQ(form.URLTitle, "Sample Fonts Home");
  EXPECT_EQ(modSelfExtract::ReadmeFile, "readme.txt");
  EXPECT_EQ(modSelfExtract::LicenseFile, "NOLICENSE");
  EXPECT_EQ(m.windows[Control::txtReadme].text, "Hello\r\nWorld\r\n");
  EXPECT_EQ(m.windows[Control::txtLicense].text, "");
  EXPECT_EQ(m.windows[Control::frmMain].text, "Sample Fonts - Velloway");
  EXPECT_EQ(m.windows[Control::lblReady].text, "Ready to Install Sample Fonts");
  // The progress window goes before the main window shows; then the Readme page.
  const auto& log = m.windows.log;
  const auto at = [&](const std::string& s) { return std::find(log.begin(), log.end(), s); };
  EXPECT_LT(at("hidden frmMain"), at("show frmExtracting"));
  EXPECT_LT(at("show frmExtracting"), at("unload frmExtracting"));
  EXPECT_LT(at("unload frmExtracting"), at("show frmMain"));
  EXPECT_GT(m.windows.doEvents, 0);
  EXPECT_TRUE(m.windows[Control::picReadme].visible);
  EXPECT_FALSE(m.windows[Control::picReady].visible);
  EXPECT_FALSE(m.windows[Control::picLicense].visible);
  EXPECT_FALSE(m.windows[Control::picInstall].visible);
  EXPECT_TRUE(m.windows.boxes.empty());
}

TEST_F(StartTest, PaddingAndLineBreaksInNames) {
  Pack({{"kestrel.dat", Manifest()}, {"b.ttf", "B"}, {"a.ttf\r\n", "A"}});
  ASSERT_FALSE(Load());
  EXPECT_EQ(form.lstFiles[0], "a.ttf");
  EXPECT_EQ(m.files.files[std::string(kWork) + "a.ttf"], "A");

  // Space padding stays in the file list, file names ignore it, and the font
  // list goes without it.
  FakeMachine fm;
  fm.files.files[kExe] = MakePackage({{"kestrel.dat", Manifest()}, {"b.ttf\r\n", "B"}}, ' ');
  FrmMain f(fm.services);
  f.Form_Load();
  EXPECT_EQ(f.lstFiles[0], "b.ttf" + std::string(33, ' '));
  EXPECT_EQ(f.lstFonts, std::vector<std::string>{"b.ttf"});
  EXPECT_EQ(fm.files.files[std::string(kWork) + "b.ttf"], "B");
}

TEST_F(StartTest, NamesakesAreOneFontTheEntryReadLaterWins) {
  // Space padded, as older tools wrote: the Fonts key must not see the padding.
  Pack({{"kestrel.dat", Manifest()},
        {"A.ttf", fakes::MakeFont("Alpha")},
        {"a.TTF", fakes::MakeFont("Alpha Appended Later")},
        {"b.ttf", fakes::MakeFont("Beta")},
        {"b.ttf", fakes::MakeFont("Beta")}},
       ' ');
  m.system.commandLine = "/I";
  m.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
  EXPECT_TRUE(Load());
  EXPECT_EQ(form.lstFiles.size(), 5u);
  EXPECT_EQ(form.lstFonts, (std::vector<std::string>{"b.ttf", "A.ttf"}));
  EXPECT_EQ(m.windows[Control::lstFonts].items, form.lstFonts);
  EXPECT_EQ(m.fonts.added,
            (std::vector<std::string>{"C:\\Windows\\Fonts\\b.ttf", "C:\\Windows\\Fonts\\A.ttf"}));
  auto& values = m.registry.keys["SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"];
  EXPECT_EQ(values.size(), 2u);
  EXPECT_EQ(values["Alpha (TrueType)"].data, "A.ttf");
  EXPECT_EQ(values["Beta (TrueType)"].data, "b.ttf");
  EXPECT_TRUE(m.windows.boxes.empty());
}

TEST_F(StartTest, ReadmeAndLicenceFieldsMustNameAnEntry) {
  const struct {
    std::string readme, license;
    const char* shown;  // the readme and licence texts, or nullptr when the package is damaged
  } cases[] = {
      {"readme.txt", "NOLICENSE", "read\r\n"},
      {"README.TXT", "NOLICENSE", "read\r\n"},  // one file to the system
      {"readme.txt  ", "NOLICENSE", "read\r\n"},
      {"NOREADME", "License.Txt", "lic\r\n"},
      {"readme.txt", "license.txt", "read\r\nlic\r\n"},
      {"..\\Windows\\win.ini", "NOLICENSE", nullptr},
      {"NOREADME", "..\\..\\Windows\\win.ini", nullptr},
      {"C:\\Windows\\win.ini", "NOLICENSE", nullptr},
      {"leftover.txt", "NOLICENSE", nullptr},  // in the folder, but not in this package
      {"CON", "NOLICENSE", nullptr},
      {"NOREADME", "COM1.txt", nullptr},
      {"", "NOLICENSE", nullptr},
      {"readme.txt\r\n", "NOLICENSE", nullptr},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.files.files[kExe] = MakePackage({{"readme.txt", "read\r\n"},
                                        {"license.txt", "lic\r\n"},
                                        {"kestrel.dat", Manifest(c.readme, c.license)}});
    // Whatever lies where a field would lead as a path is never read.
    for (const std::string* field : {&c.readme, &c.license})
      if (!fm.files.files.count(fakes::WinPath(kTemp + *field)))
        fm.files.files[fakes::WinPath(kTemp + *field)] = "planted\r\n";
    FrmMain f(fm.services);
    bool ended = false;
    try {
      f.Form_Load();
    } catch (const Terminated&) {
      ended = true;
    }
    EXPECT_EQ(ended, c.shown == nullptr) << c.readme << " " << c.license;
    if (c.shown)
      EXPECT_EQ(fm.windows[Control::txtReadme].text + fm.windows[Control::txtLicense].text,
                c.shown);
    else
      EXPECT_EQ(fm.windows.boxes.size(), 1u);
  }
}

TEST_F(StartTest, SameNameTwiceKeepsTheEntryNearerTheStart) {
  Pack({{"kestrel.dat", Manifest()}, {"f.ttf", "first appended"}, {"f.ttf", "last appended"}});
  ASSERT_FALSE(Load());
  EXPECT_EQ(form.lstFiles.size(), 3u);
  EXPECT_EQ(m.files.files[std::string(kWork) + "f.ttf"], "first appended");
}

TEST_F(StartTest, WorkingFolderIsNewAndOfItsOwn) {
  // A folder of the first name already there, from a run that guessed it:
  // never used, another name is taken. Without a backslash the temporary
  // folder gets one; without elevation the folder is the user's own.
  Pack({{"kestrel.dat", Manifest()}, {"a.ttf", "A"}});
  m.system.tempPath = "D:\\tmp";
  m.system.elevated = false;
  m.files.folders.insert("D:\\tmp\\sorvela-1010101010101010");
  m.files.files["D:\\tmp\\sorvela-1010101010101010\\a.ttf"] = "planted";
  ASSERT_FALSE(Load());
  EXPECT_EQ(form.ExtractPath, "D:\\tmp\\sorvela-1111111111111111\\");
  EXPECT_EQ(m.files.files["D:\\tmp\\sorvela-1111111111111111\\a.ttf"], "A");
  EXPECT_EQ(m.files.files["D:\\tmp\\sorvela-1010101010101010\\a.ttf"], "planted");
  EXPECT_TRUE(std::count(m.files.log.begin(), m.files.log.end(),
                         "mkdir new D:\\tmp\\sorvela-1111111111111111"));

  // No temporary folder, one too long to hold the entries, no random numbers,
  // a folder that can't be made: the package can't be read, nothing is
  // written anywhere else.
  const struct {
    const char* what;
    std::function<void(FakeMachine&)> set;
  } cases[] = {
      {"no temporary folder", [](FakeMachine& fm) { fm.system.tempFails = true; }},
      {"too long",
       [](FakeMachine& fm) { fm.system.tempPath = "C:\\" + std::string(223 - 3, 'x'); }},
      {"no random numbers", [](FakeMachine& fm) { fm.system.randomFails = true; }},
      {"can't be made",
       [](FakeMachine& fm) {
         for (const char* hex : {"10", "11", "12", "13", "14", "15", "16", "17"}) {
           std::string name = "C:\\Temp\\sorvela-";
           for (int i = 0; i < 8; ++i) name += hex;
           fm.files.failWrite.insert(name);
         }
       }},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.files.files[kExe] = MakePackage({{"kestrel.dat", Manifest()}, {"a.ttf", "A"}});
    c.set(fm);
    FrmMain f(fm.services);
    EXPECT_THROW(f.Form_Load(), Terminated) << c.what;
    EXPECT_EQ(fm.system.exitCode, 1620u) << c.what;
    EXPECT_EQ(fm.files.files.size(), 1u) << c.what;
  }
  // Just short enough for the longest name, "kestrel.dat", under the 259
  // characters the ANSI calls take.
  FakeMachine fits;
  fits.files.files[kExe] = MakePackage({{"kestrel.dat", Manifest()}, {"a.ttf", "A"}});
  fits.system.tempPath = "C:\\" + std::string(222 - 3, 'x');
  FrmMain f(fits.services);
  EXPECT_NO_THROW(f.Form_Load());
}

TEST_F(StartTest, FontListAndTitleEdges) {
  Pack({{"kestrel.dat", Manifest("NOREADME", "NOLICENSE", "")},
        {"font.otf", "o"},
        {"font.ttf.txt", "t"},
        {"sans.ttf ", "s"},
        {"pair.Ttc", "c"},
        {"font.woff", "w"},
        {"xTTF", "x"},
        {"SERIF.TTF", "F"}});
  ASSERT_FALSE(Load());
  EXPECT_EQ(form.lstFonts,
            (std::vector<std::string>{"SERIF.TTF", "xTTF", "pair.Ttc", "sans.ttf", "font.otf"}));
  EXPECT_EQ(m.windows[Control::frmMain].text, " - Velloway");
  EXPECT_EQ(m.windows[Control::lblReady].text, "Ready to Install ");
  EXPECT_TRUE(m.windows[Control::picReady].visible);
}

TEST_F(StartTest, FirstPageFollowsTheTexts) {
  const struct {
    bool readme, license;
    Control page;
  } cases[] = {{true, true, Control::picReadme},
               {true, false, Control::picReadme},
               {false, true, Control::picLicense},
               {false, false, Control::picReady}};
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.files.files[kExe] =
        MakePackage({{"r.txt", "readme\r\n"},
                     {"l.txt", "licence\r\n"},
                     {"kestrel.dat", Manifest(c.readme ? "r.txt" : "NOREADME",
                                              c.license ? "l.txt" : "NOLICENSE")}});
    FrmMain f(fm.services);
    f.Form_Load();
    for (Control page :
         {Control::picReadme, Control::picLicense, Control::picReady, Control::picInstall})
      EXPECT_EQ(fm.windows[page].visible, page == c.page);
  }
}

TEST_F(StartTest, EmptyReadmeSkipsItsPageButOneEmptyLineShowsIt) {
  Pack({{"r.txt", ""}, {"kestrel.dat", Manifest("r.txt")}});
  ASSERT_FALSE(Load());
  EXPECT_TRUE(m.windows[Control::picReady].visible);

  FakeMachine fm;
  fm.files.files[kExe] = MakePackage({{"r.txt", "\r\n"}, {"kestrel.dat", Manifest("r.txt")}});
  FrmMain f(fm.services);
  f.Form_Load();
  EXPECT_EQ(fm.windows[Control::txtReadme].text, "\r\n");
  EXPECT_TRUE(fm.windows[Control::picReadme].visible);
}

TEST_F(StartTest, FailuresEndWithTheOneMessage) {
  const std::vector<std::vector<TestEntry>> packages = {
      {{"kestrel.dat", "\"kestrel datafile 1\",a,b,c,d,e"}},
      {{"kestrel.dat", "\"KESTREL DATAFILE 2\",a,b,c,d,e"}},
      {{"kestrel.dat", "\"KESTREL DATAFILE 1\",NOREADME,NOLICENSE,t,u"}},  // five fields
      {{"kestrel.dat", Manifest("noreadme")}},                             // markers are exact
      {{"kestrel.dat", Manifest("NOREADME", "missing.txt")}},
      {{"font.ttf", "no manifest"}},
      {{"..", "escape"}, {"kestrel.dat", Manifest()}},
      {{"AUX.ttf", "to a device"}, {"kestrel.dat", Manifest()}},
      {{"kestrel.dat", Manifest()}, {"font.ttf.", "another file"}},
  };
  for (const auto& entries : packages) {
    FakeMachine fm;
    fm.files.files[kExe] = MakePackage(entries);
    FrmMain f(fm.services);
    EXPECT_THROW(f.Form_Load(), Terminated);
    ASSERT_EQ(fm.windows.boxes.size(), 1u);
    EXPECT_EQ(fm.windows.boxes[0].text, "This Sorvela contains no fonts.");
    EXPECT_FALSE(fm.windows[Control::frmExtracting].loaded);
    EXPECT_FALSE(fm.windows[Control::frmMain].visible);
  }
}

TEST_F(StartTest, AFaultAtStartUpEndsWithTheMessage) {
  Pack({{"kestrel.dat", Manifest()}, {"a.ttf", "A"}});
  m.files.throwOnOpen.insert(std::string(kWork) + "kestrel.dat");
  EXPECT_TRUE(Load());
  EXPECT_TRUE(StartFailedWithMessage());
  EXPECT_EQ(m.system.exitCode, 1620u);
  EXPECT_FALSE(m.windows[Control::frmExtracting].loaded);
}

TEST_F(StartTest, BareStubFailsWhateverTheCommandLine) {
  for (const char* args : {"", "/?", "/I", "/E"}) {
    FakeMachine fm;
    fm.files.files[kExe] = std::string(40000, 'M');
    fm.system.commandLine = args;
    FrmMain f(fm.services);
    EXPECT_THROW(f.Form_Load(), Terminated);
    ASSERT_EQ(fm.windows.boxes.size(), 1u) << args;
    EXPECT_EQ(fm.windows.boxes[0].title, "Sorvela Error");
  }
  // No package file at all.
  m.files.files.clear();
  EXPECT_TRUE(Load());
  EXPECT_TRUE(StartFailedWithMessage());
}

TEST_F(StartTest, LargeAndEmptyEntriesAreCopiedByteForByte) {
  std::string large(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 % 251);
  Pack({{"kestrel.dat", Manifest()}, {"big.ttf", large}, {"empty.ttf", ""}});
  ASSERT_FALSE(Load());
  EXPECT_EQ(m.files.files[std::string(kWork) + "big.ttf"], large);
  ASSERT_TRUE(m.files.files.count(std::string(kWork) + "empty.ttf"));
  EXPECT_EQ(m.files.files[std::string(kWork) + "empty.ttf"], "");
}

TEST_F(StartTest, TruncatedPackagesEndWithTheMessage) {
  const std::string good = MakePackage({{"kestrel.dat", Manifest()}, {"a.ttf", "AAAA"}});
  for (size_t cut = 1; cut < good.size(); ++cut) {
    // Cutting exactly entry 1's 54 bytes leaves a well-formed trailer: count
    // "AAAAa" reads as 0 and the manifest's header stands where entry 1's did.
    if (cut == 4 + 50) continue;
    FakeMachine fm;
    fm.files.files[kExe] = good.substr(0, good.size() - cut);
    FrmMain f(fm.services);
    EXPECT_THROW(f.Form_Load(), Terminated) << cut;
    ASSERT_EQ(fm.windows.boxes.size(), 1u) << cut;
    EXPECT_EQ(fm.windows.boxes[0].text, "This Sorvela contains no fonts.");
  }
}

// An entry that can't be written whole makes the package unreadable: no
// file of another run may stand in for it. What was written goes.
TEST_F(StartTest, AnEntryThatCantBeWrittenEndsStartUp) {
  const std::string out = std::string(kWork) + "a.ttf";
  const struct {
    const char* what;
    std::function<void(fakes::FakeFiles&, const std::string& package)> fail;
  } cases[] = {
      {"can't create", [&](auto& f, auto&) { f.failWrite.insert(out); }},
      {"disk full", [&](auto& f, auto&) { f.failAppend.insert(out); }},
      {"full on close", [&](auto& f, auto&) { f.failClose.insert(out); }},
      {"unreadable data",
       [&](auto& f, auto& package) { f.failReadAt[kExe] = package.find("AAAA") + 2; }},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    const std::string package = MakePackage(
        {{"kestrel.dat", Manifest()}, {"b.ttf", "BBBB"}, {"a.ttf", "AAAA"}, {"c.ttf", "CCCC"}});
    fm.files.files[kExe] = package;
    c.fail(fm.files, package);
    FrmMain f(fm.services);
    EXPECT_THROW(f.Form_Load(), Terminated) << c.what;
    EXPECT_EQ(fm.system.exitCode, 1620u) << c.what;
    ASSERT_EQ(fm.windows.boxes.size(), 1u) << c.what;
    EXPECT_FALSE(fm.files.files.count(std::string(kWork) + "c.ttf")) << c.what;
    EXPECT_FALSE(fm.files.folders.count("C:\\Temp\\sorvela-1010101010101010")) << c.what;
  }
}

// The mode comes from the last two characters; "/CURRENTUSER" anywhere, as
// a word, installs into the user's own fonts.
TEST_F(StartTest, CommandLineUsesTheLastTwoCharacters) {
  const std::string longText(100000, 'x');
  const struct {
    std::string args;
    const char* outcome;  // "extract", "install", "quiet", "usage" or "wizard"
    bool perUser;
  } cases[] = {
      {"/E", "extract", false},
      {"setup /x /e", "extract", false},
      {"  /i  ", "install", false},
      {"/E /I", "install", false},
      {"/?", "usage", false},
      {"/EXTRACT", "wizard", false},
      {"-E", "wizard", false},
      {"/? now", "wizard", false},
      {"E", "wizard", false},
      {"     ", "wizard", false},
      {"", "wizard", false},
      {"/q", "quiet", false},
      {"/I /E /Q", "quiet", false},
      {"/CURRENTUSER", "wizard", true},
      {"/currentuser /i", "install", true},
      {"/I /CurrentUser", "wizard", true},
      {"/CURRENTUSER /currentuser /Q", "quiet", true},
      {"/CURRENTUSERS /I", "install", false},
      {"x/CURRENTUSER /I", "install", false},
      {longText + " /CURRENTUSER " + longText + " /Q", "quiet", true},
  };
  const std::string userFonts = "C:\\Users\\u\\AppData\\Local\\Microsoft\\Windows\\Fonts\\";
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.files.files[kExe] =
        MakePackage({{"kestrel.dat", Manifest()}, {"a.ttf", fakes::MakeFont("Alpha")}});
    fm.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
    fm.shell.folders[ShellFolder::kLocalAppData] = "C:\\Users\\u\\AppData\\Local";
    fm.system.commandLine = c.args;
    FrmMain f(fm.services);
    bool ended = false;
    try {
      f.Form_Load();
    } catch (const Terminated&) {
      ended = true;
    }
    const std::string outcome = c.outcome, what = c.args.substr(0, 40);
    const bool installs = outcome == "install" || outcome == "quiet";
    EXPECT_EQ(ended, outcome != "wizard") << what;
    if (ended) {
      EXPECT_EQ(fm.system.exitCode, 0u) << what;
    }
    EXPECT_EQ(f.Scope == FontScope::kCurrentUser, c.perUser) << what;
    EXPECT_EQ(fm.files.files.count("C:\\Fonts Setup\\a.ttf"), outcome == "extract" ? 1u : 0u)
        << what;
    EXPECT_EQ(fm.files.files.count("C:\\Windows\\Fonts\\a.ttf"), installs && !c.perUser ? 1u : 0u)
        << what;
    EXPECT_EQ(fm.files.files.count(userFonts + "a.ttf"), installs && c.perUser ? 1u : 0u) << what;
    if (installs && c.perUser) {
      EXPECT_EQ(fm.registry.keys[kUserKey]["Alpha (TrueType)"].data, userFonts + "a.ttf");
    }
    // A quiet run shows nothing at all.
    if (outcome == "quiet") {
      EXPECT_TRUE(std::none_of(fm.windows.log.begin(), fm.windows.log.end(), [](auto& line) {
        return line.rfind("show", 0) == 0 || line.rfind("box", 0) == 0;
      })) << what;
    }
    if (outcome == "usage") {
      ASSERT_EQ(fm.windows.boxes.size(), 1u);
      EXPECT_EQ(fm.windows.boxes[0].text,
                "Command line options:\r\n\r\n/E -- Extract files\r\n/I -- Silent install\r\n"
                "/Q -- Quiet install\r\n/U or /UNINSTALL -- Uninstall (with /Q: quietly)\r\n"
                "/CURRENTUSER -- For the current user alone");
      EXPECT_EQ(fm.windows.boxes[0].title, "Sorvela Install");
      EXPECT_EQ(fm.windows.boxes[0].style, 64);
    }
    if (outcome == "wizard") {
      EXPECT_TRUE(fm.windows[Control::picReady].visible) << what;
    }
  }
}

// Every way a run ends leaves nothing of it in the temporary folder or the
// Fonts folder; "/?" writes nothing to begin with.
TEST_F(StartTest, EveryEndLeavesNothingOfTheRun) {
  const struct {
    const char* what;
    const char* args;
    bool breakInstall;
    std::function<void(FrmMain&)> then;  // after Form_Load returned; nullptr: nothing
    uint32_t code;
  } cases[] = {
      {"Cancel", "", false, [](FrmMain& f) { f.cmdCancel_Click(); }, 1602},
      {"close box", "", false,
       [](FrmMain& f) {
         int16_t c = 0;
         f.Form_Unload(c);
       },
       0xFFFFFFFF},
      {"Finish", "", false, [](FrmMain& f) { f.cmdNext_Click(), f.cmdNext_Click(); }, 0},
      {"Close after a failure", "", true, [](FrmMain& f) { f.cmdNext_Click(), f.cmdNext_Click(); },
       1603},
      {"close box after the install", "", false,
       [](FrmMain& f) {
         f.cmdNext_Click();
         int16_t c = 0;
         f.Form_Unload(c);
       },
       0xFFFFFFFF},
      {"/I", "/I", false, nullptr, 0},
      {"a failed /I", "/I", true, nullptr, 1603},
      {"/Q", "/Q", false, nullptr, 0},
      {"/E", "/E", false, nullptr, 0},
      {"/?", "/?", false, nullptr, 0},
      {"a start-up failure", "missing readme", false, nullptr, 1620},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    const std::string args = c.args;
    fm.files.files[kExe] =
        MakePackage({{"read.txt", "r"},
                     {"kestrel.dat", Manifest(args == "missing readme" ? "gone.txt" : "read.txt")},
                     {"a.ttf", fakes::MakeFont("Alpha")}});
    fm.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
    fm.system.commandLine = args;
    if (c.breakInstall) fm.registry.failSet = 5;
    FrmMain f(fm.services);
    try {
      f.Form_Load();
      if (c.then) c.then(f);
    } catch (const Terminated&) {
    }
    EXPECT_EQ(fm.system.exitCode, c.code) << c.what;
    for (const auto& [path, bytes] : fm.files.files) {
      EXPECT_NE(path.rfind(kTemp, 0), 0u) << c.what << ": " << path;
      EXPECT_EQ(path.find('~'), std::string::npos) << c.what << ": " << path;
    }
    EXPECT_EQ(fm.files.folders.size(), 0u) << c.what;
    if (args == "/?") {
      EXPECT_FALSE(std::any_of(fm.files.log.begin(), fm.files.log.end(), [](auto& line) {
        return line.rfind("write", 0) == 0 || line.rfind("mkdir", 0) == 0;
      }));
    }
  }
}

// What another program holds open goes at the next restart, and the folder
// after it; without the rights for that it stays, and the run ends all the same.
TEST_F(StartTest, HeldFilesGoAtTheNextRestart) {
  for (bool rights : {true, false}) {
    FakeMachine fm;
    fm.files.files[kExe] = MakePackage({{"kestrel.dat", Manifest()}, {"a.ttf", "A"}});
    fm.files.failRemove.insert(std::string(kWork) + "a.ttf");
    fm.files.failRemoveAtRestart = !rights;
    FrmMain f(fm.services);
    f.Form_Load();
    EXPECT_THROW(f.cmdCancel_Click(), Terminated);
    EXPECT_EQ(fm.system.exitCode, 1602u);
    if (rights) {
      EXPECT_EQ(fm.files.atRestart,
                (std::vector<std::string>{std::string(kWork) + "a.ttf",
                                          "C:\\Temp\\sorvela-1010101010101010"}));
    } else {
      EXPECT_TRUE(fm.files.atRestart.empty());
    }
    EXPECT_FALSE(fm.files.files.count(std::string(kWork) + "kestrel.dat"));
  }
}

// "/E" puts every entry but the manifest-like "DAT" ones and those the
// system would run as code beside the program, renamed over what is there.
TEST_F(StartTest, ExtractOnlyWritesNoCodeBesideThePackage) {
  Pack({{"kestrel.dat", Manifest()},
        {"readme.txt", "read"},
        {"x.DaT  ", "x"},
        {"notdat", "n"},
        {"a.ttf", "font"},
        {"version.dll", "MZ"},
        {"Setup.EXE ", "MZ"},
        {"run.CMD", "@echo"},
        {"go.ps1", "x"},
        {"link.lnk", "x"},
        {"dll", "plain"}});
  m.system.commandLine = "/E";
  m.files.files["C:\\Fonts Setup\\a.ttf"] = "old copy";
  EXPECT_TRUE(Load());
  EXPECT_EQ(m.system.exitCode, 0u);
  std::vector<std::string> beside;
  for (const auto& [path, bytes] : m.files.files)
    if (path.rfind("C:\\Fonts Setup\\", 0) == 0) beside.push_back(path.substr(15));
  EXPECT_EQ(beside, (std::vector<std::string>{"a.ttf", "dll", "readme.txt", "setup.exe"}));
  EXPECT_EQ(m.files.files["C:\\Fonts Setup\\a.ttf"], "font");
}

// The stub has no exceptions: memory running out ends the run at once, as a
// package that can't be read while starting, else as a failed install, with
// nothing of the run left behind.
TEST_F(StartTest, MemoryRunningOutEndsTheRun) {
  FrmMain early(m.services);
  EXPECT_THROW(early.OutOfMemory(), Terminated);
  EXPECT_EQ(m.system.exitCode, 1620u);
  Pack({{"kestrel.dat", Manifest()}, {"a.ttf", "A"}});
  ASSERT_FALSE(Load());
  EXPECT_THROW(form.OutOfMemory(), Terminated);
  EXPECT_EQ(m.system.exitCode, 1603u);
  EXPECT_EQ(m.windows.boxes.back().text, "Out of memory");
  EXPECT_FALSE(m.files.files.count(std::string(kWork) + "a.ttf"));
}

// Long work shows how far it is: the progress bar of the bytes written, in
// order, ending at their sum; the copy and registration steps count the
// fonts done; the windows answer while a font is copied.
TEST_F(StartTest, ProgressMovesInOrderToTheEnd) {
  const std::string big(3 * (1 << 20) + 5, 'x');
  Pack({{"kestrel.dat", Manifest()},
        {"big.bin", big},
        {"a.ttf", fakes::MakeFont("Alpha")},
        {"b.ttf", fakes::MakeFont("Beta")},
        {"c.ttf", fakes::MakeFont("Gamma")}});
  m.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
  ASSERT_FALSE(Load());
  uint64_t total = 0, last = 0;
  for (const std::string& name : form.lstFiles)
    total += m.files.files[std::string(kWork) + name].size();
  ASSERT_GT(m.windows.progress.size(), 4u);  // a piece at a time
  for (const auto& p : m.windows.progress) {
    EXPECT_EQ(p.bar, Control::prgExtracting);
    EXPECT_EQ(p.total, total);
    EXPECT_GE(p.done, last);
    last = p.done;
  }
  EXPECT_EQ(last, total);

  // Each look at the clock 30 ms on: a count held back as too soon after the
  // last comes out while the next font is copied.
  m.system.tick = 30;
  const int pumped = m.windows.doEvents;
  form.cmdNext_Click();
  EXPECT_EQ(m.windows[Control::cmdNext].text, "&Finish");
  const std::string copy = "Copy font to Font Folder";
  EXPECT_EQ(m.windows[Control::Label7].texts,
            (std::vector<std::string>{copy + " (1 of 3)", copy + " (2 of 3)", copy + " (3 of 3)"}));
  EXPECT_EQ(m.windows[Control::Label8].text, "Register font (3 of 3)");
  EXPECT_GE(m.windows.doEvents - pumped, 6);
}

TEST_F(StartTest, DriveRootGetsOneBackslash) {
  m.system.appFolder = "C:\\";
  m.files.files["C:\\setup.exe"] = MakePackage({{"kestrel.dat", Manifest()}});
  ASSERT_FALSE(Load());
  EXPECT_EQ(form.AppPath, "C:\\");
}

}  // namespace
}  // namespace sorvela
