// The Fonts key services and special folders, against fakes.
#include <gtest/gtest.h>

#include "fakes/fakes.h"
#include "fakes/font_builder.h"
#include "fonts/get_font_filename.h"
#include "shellfolders/folders.h"

namespace sorvela {
namespace {

using fakes::FakeMachine;
using fakes::MakeFont;

constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

class FontsKeyTest : public ::testing::Test {
 protected:
  FontsKeyTest() {
    m.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
    m.files.files["C:\\Temp\\a.ttf"] = "font";
  }
  void SetValue(const std::string& name, uint32_t type, const std::string& data) {
    m.registry.keys[kNtKey][name] = {type, data};
  }
  FakeMachine m;
};

TEST_F(FontsKeyTest, ValueTypesReadAsText) {
  SetValue("sz", kRegSz, "file.ttf");
  SetValue("sz-no-nul", kRegSz, "whole");
  SetValue("sz-nul", kRegSz, std::string("cut\0here", 8));
  SetValue("bin", kRegBinary, std::string("\xfe\xff\x12", 3));
  SetValue("bin1", kRegBinary, std::string("\x07", 1));
  SetValue("bin0", kRegBinary, "");
  SetValue("expand", kRegExpandSz, "x.ttf");
  SetValue("dword", kRegDword, std::string("\x01\0\0\0", 4));
  const struct {
    const char* name;
    const char* text;
  } cases[] = {{"sz", "file.ttf"}, {"sz-no-nul", "whole"}, {"sz-nul", "cut"},
               {"bin", "-2"},      {"bin1", "7"},          {"bin0", "0"},
               {"expand", ""},     {"dword", ""},          {"missing", ""}};
  for (const auto& c : cases)
    EXPECT_EQ(GetRegistryString(m.registry, kHkeyLocalMachine, kNtKey, c.name), c.text) << c.name;
  EXPECT_EQ(GetRegistryString(m.registry, kHkeyLocalMachine, "No\\Such\\Key", "sz"), "");
}

TEST_F(FontsKeyTest, RegisteredFileIsBareNameOrFullPath) {
  SetValue("Bare (TrueType)", kRegSz, "bare.ttf");
  SetValue("Full (TrueType)", kRegSz, "D:\\Elsewhere\\full.ttf");
  SetValue("Empty (TrueType)", kRegSz, "");
  const struct {
    const char* face;
    const char* file;
  } cases[] = {{"Bare (TrueType)", "C:\\Windows\\Fonts\\bare.ttf"},
               {"Full (TrueType)", "D:\\Elsewhere\\full.ttf"},
               {"Empty (TrueType)", ""},
               {"Unknown (TrueType)", ""}};
  for (const auto& c : cases) {
    std::string file = "unset";
    ASSERT_FALSE(GetRegisteredFontFile(m.services, FontScope::kAllUsers, c.face, &file));
    EXPECT_EQ(file, c.file) << c.face;
  }
  m.shell.folders.erase(
      ShellFolder::kFonts);  // no Fonts folder: the bare name comes back unchanged
  std::string file;
  ASSERT_FALSE(GetRegisteredFontFile(m.services, FontScope::kAllUsers, "Bare (TrueType)", &file));
  EXPECT_EQ(file, "bare.ttf");
}

TEST_F(FontsKeyTest, IdentityComesFromTheFileAndNamesWhatIsWrong) {
  m.files.files["C:\\Temp\\b.ttf"] = MakeFont("Beta Sans Bold", "Beta Sans", "Bold");
  m.files.files["C:\\Temp\\w.ttf  "] = "wOF2 and more";
  FontIdentity font;
  ASSERT_FALSE(GetFontIdentity(m.services, "C:\\Temp\\b.ttf", &font));
  EXPECT_EQ(font.ValueName(), "Beta Sans Bold (TrueType)");
  EXPECT_EQ(font.family, "Beta Sans");

  m.files.files["C:\\Temp\\w.ttf"] = "wOF2 and more";
  const Error bad = GetFontIdentity(m.services, "C:\\Temp\\w.ttf  ", &font);
  EXPECT_EQ(bad.kind, ErrorKind::kNotAFont);
  EXPECT_EQ(bad.description,
            "The font file w.ttf can't be installed: it is not a TrueType or OpenType font");
  EXPECT_EQ(font.fullName, "Beta Sans Bold");  // left as it was
  EXPECT_EQ(GetFontIdentity(m.services, "C:\\Temp\\gone.ttf", &font).code, 2);
  // A font the system can't read is not called damaged: the system's reason is told.
  m.files.failReadAt["C:\\Temp\\b.ttf"] =
      m.files.files["C:\\Temp\\b.ttf"].find(std::string("\0B\0e\0t\0a", 8));
  EXPECT_EQ(GetFontIdentity(m.services, "C:\\Temp\\b.ttf", &font).description, "Device I/O error");
}

TEST_F(FontsKeyTest, InstalledMeansTheValueIsRegistered) {
  bool installed = true;
  ASSERT_FALSE(
      IsFontInstalled(m.services, FontScope::kAllUsers, "Alpha Sans (TrueType)", &installed));
  EXPECT_FALSE(installed);
  SetValue("Alpha Sans (TrueType)", kRegSz, "whatever.ttf");
  ASSERT_FALSE(
      IsFontInstalled(m.services, FontScope::kAllUsers, "Alpha Sans (TrueType)", &installed));
  EXPECT_TRUE(installed);
  ASSERT_FALSE(
      IsFontInstalled(m.services, FontScope::kAllUsers, "Alpha Sans Bold (TrueType)", &installed));
  EXPECT_FALSE(installed);
  m.fonts.noFontsKey = true;
  ASSERT_FALSE(
      IsFontInstalled(m.services, FontScope::kAllUsers, "Alpha Sans (TrueType)", &installed));
  EXPECT_FALSE(installed);
}

TEST_F(FontsKeyTest, RegisterLoadsThenWritesTheValue) {
  FontIdentity bold{FontKind::kTrueType, "Alpha Sans Bold", "Alpha Sans", ""};
  ASSERT_FALSE(RegisterFont(m.services, FontScope::kAllUsers, bold, "ab.ttf"));
  const auto& value = m.registry.keys[kNtKey]["Alpha Sans Bold (TrueType)"];
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_EQ(value.data, "ab.ttf");  // no NUL counted
  EXPECT_EQ(m.fonts.added, std::vector<std::string>{"C:\\Windows\\Fonts\\ab.ttf"});

  FontIdentity cff{FontKind::kCff, "Alpha-Italic", "", ""};
  ASSERT_FALSE(RegisterFont(m.services, FontScope::kAllUsers, cff, "ai.otf"));
  EXPECT_EQ(m.registry.keys[kNtKey]["Alpha-Italic (OpenType)"].data, "ai.otf");

  m.fonts.noFontsKey = true;  // nothing at all
  ASSERT_FALSE(RegisterFont(m.services, FontScope::kAllUsers,
                            {FontKind::kTrueType, "Other", "", ""}, "o.ttf"));
  EXPECT_FALSE(m.registry.keys[kNtKey].count("Other (TrueType)"));
  EXPECT_EQ(m.fonts.added.size(), 2u);
}

// Installs that named values by family left one value per family, naming
// whichever style came last; it goes when it names the file registered now.
TEST_F(FontsKeyTest, FamilyValueOfAnEarlierInstall) {
  const struct {
    const char* what;
    const char* familyData;
    const char* file;
    bool kept;
  } cases[] = {
      {"names this file", "ab.ttf", "ab.ttf", false},
      {"names it in other case, as a full path", "c:\\windows\\fonts\\AB.TTF", "ab.ttf", false},
      {"names another style's file", "a.ttf", "ab.ttf", true},
      {"names a file elsewhere", "D:\\ab.ttf", "ab.ttf", true},
  };
  for (const auto& c : cases) {
    FakeMachine fm;
    fm.shell.folders[ShellFolder::kFonts] = "C:\\Windows\\Fonts";
    fm.registry.keys[kNtKey]["Alpha Sans (TrueType)"] = {kRegSz, c.familyData};
    ASSERT_FALSE(RegisterFont(fm.services, FontScope::kAllUsers,
                              {FontKind::kTrueType, "Alpha Sans Bold", "Alpha Sans", ""}, c.file));
    EXPECT_EQ(fm.registry.keys[kNtKey].count("Alpha Sans (TrueType)"), c.kept ? 1u : 0u) << c.what;
    EXPECT_EQ(fm.registry.keys[kNtKey]["Alpha Sans Bold (TrueType)"].data, c.file) << c.what;
  }
  // The Regular style's value is the family's own: it is written, not removed.
  m.registry.keys[kNtKey]["Alpha Sans (TrueType)"] = {kRegSz, "a.ttf"};
  ASSERT_FALSE(RegisterFont(m.services, FontScope::kAllUsers,
                            {FontKind::kTrueType, "Alpha Sans", "Alpha Sans", ""}, "a.ttf"));
  EXPECT_EQ(m.registry.keys[kNtKey]["Alpha Sans (TrueType)"].data, "a.ttf");
  // A family that differs from the full name only in case is that same value.
  ASSERT_FALSE(RegisterFont(m.services, FontScope::kAllUsers,
                            {FontKind::kTrueType, "Alpha SANS", "Alpha Sans", ""}, "a.ttf"));
  EXPECT_EQ(m.registry.keys[kNtKey]["alpha sans (truetype)"].data, "a.ttf");
}

TEST_F(FontsKeyTest, RegisterReportsWhatTheSystemRefuses) {
  const FontIdentity alpha{FontKind::kTrueType, "Alpha", "", ""};
  // A font the system won't load is never written to the key.
  m.fonts.failAdd.insert("C:\\Windows\\Fonts\\a.ttf");
  const Error refused = RegisterFont(m.services, FontScope::kAllUsers, alpha, "a.ttf");
  EXPECT_EQ(refused.code, 2);
  EXPECT_FALSE(m.registry.keys[kNtKey].count("Alpha (TrueType)"));

  m.fonts.failAdd.clear();
  m.registry.failSet = 5;
  Error denied = RegisterFont(m.services, FontScope::kAllUsers, alpha, "a.ttf");
  EXPECT_EQ(denied.code, 5);
  EXPECT_EQ(denied.description, "system error 5");
}

TEST_F(FontsKeyTest, FoldersAndBackslashes) {
  std::string folder;
  ASSERT_FALSE(GetFontsFolder(m.services, &folder));
  EXPECT_EQ(folder, "C:\\Windows\\Fonts\\");
  ASSERT_FALSE(GetSpecialFolder(m.shell, ShellFolder::kFonts, &folder));
  EXPECT_EQ(folder, "C:\\Windows\\Fonts");
  ASSERT_FALSE(GetSpecialFolder(m.shell, ShellFolder::kProgramFiles, &folder));
  EXPECT_EQ(folder, "");
  m.shell.pathless.insert(ShellFolder::kFonts);
  EXPECT_TRUE(GetSpecialFolder(m.shell, ShellFolder::kFonts, &folder));
  EXPECT_TRUE(GetFontsFolder(m.services, &folder));
}

}  // namespace
}  // namespace sorvela
