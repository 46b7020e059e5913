// Text routines: replacing, line breaks, manifest fields, text-box lines,
// names, paths and sizes.
#include <gtest/gtest.h>

#include "base/code_page.h"
#include "base/text.h"
#include "package/self_extract.h"
#include "package/text_file.h"
#include "win32/geometry.h"

namespace sorvela {
namespace {

using modSelfExtract::ReplaceText;
using modSelfExtract::StripLineBreaks;

TEST(TextRoutines, ReplaceAndStrip) {
  std::string text = "a\nb\n";
  EXPECT_EQ(ReplaceText(text, "\n", ""), "ab");
  EXPECT_EQ(text, "ab");  // the caller's variable takes the result
  std::string unchanged = "no breaks";
  EXPECT_EQ(ReplaceText(unchanged, "\n", ""), "no breaks");
  std::string tabs = "\tx\t\ty\t";
  EXPECT_EQ(ReplaceText(tabs, "\t", ""), "xy");
  std::string words = "one two two";
  EXPECT_EQ(ReplaceText(words, "two", "2"), "one 2 2");

  std::string mixed = "x\r\ny";
  EXPECT_EQ(StripLineBreaks(mixed), "xy");
  std::string onlyBreaks = "\r\n\n\r\r";
  EXPECT_EQ(StripLineBreaks(onlyBreaks), "");
  EXPECT_EQ(onlyBreaks, "");
}

TEST(TextRoutines, NameEndingsTrimAndUpperCase) {
  const struct {
    const char* name;
    const char* ending;
  } cases[] = {{"Font.ttf", "TTF"},    {"FONT.TTF", "TTF"},
               {"font.ttf ", "TTF"},   {"xTTF", "TTF"},
               {"font.otf", "OTF"},    {"font.ttf.txt", "TXT"},
               {"kestrel.dat", "DAT"}, {"  data  ", "ATA"},
               {"ab", "AB"},           {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(NameEnding(c.name), c.ending) << c.name;
  EXPECT_EQ(Trim("  /i  "), "/i");
  EXPECT_EQ(UpperAscii("/e\xe9"), "/E\xe9");
}

std::vector<std::string> Fields(const std::string& text, size_t n) {
  FieldReader reader(text);
  std::vector<std::string> fields;
  for (size_t i = 0; i < n; ++i) {
    std::string field;
    if (reader.Next(&field)) break;
    fields.push_back(field);
  }
  return fields;
}

TEST(TextRoutines, CommandLinesPathsAndDescriptions) {
  const struct {
    std::string got, want;
  } cases[] = {
      {ArgumentsOf("\"C:\\Program Files\\fonts.exe\" /I"), "/I"},
      {ArgumentsOf("fonts.exe   /e "), "/e "},
      {ArgumentsOf("\"fonts.exe\"/I"), "/I"},
      {ArgumentsOf("fonts.exe\t/?"), "/?"},
      {ArgumentsOf("fonts.exe    "), ""},
      {ArgumentsOf("\"C:\\unterminated /I"), ""},
      {ArgumentsOf("setup /x /e"), "/x /e"},
      {FolderOf("C:\\fonts.exe"), "C:\\"},
      {FolderOf("C:\\Downloads\\fonts.exe"), "C:\\Downloads"},
      {FolderOf("\\\\server\\share\\fonts.exe"), "\\\\server\\share"},
      {FolderOf("fonts.exe"), ""},
      {TitleOf("C:\\Downloads\\my.fonts.exe"), "my.fonts"},
      {TitleOf("C:\\my.dir\\fonts"), "fonts"},
      {WithBackslash("C:\\Temp"), "C:\\Temp\\"},
      {WithBackslash("C:\\"), "C:\\"},
      {WithBackslash(""), "\\"},
      {TrimDescription("The system cannot find the file specified.\r\n"),
       "The system cannot find the file specified"},
      {TrimDescription("Access is denied. \r\n"), "Access is denied"},
      {TrimDescription(""), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(TextRoutines, APathLiesInAFolderOnlyBelowItsOwnName) {
  const struct {
    const char* path;
    const char* folder;
    bool in;
  } cases[] = {
      {"C:\\Users\\me\\Desktop", "C:\\Users\\me", true},
      {"C:\\Users\\me", "C:\\Users\\me", true},
      {"C:\\Users\\me\\", "C:\\Users\\me\\", true},
      {"c:\\users\\ME\\Favorites", "C:\\Users\\me", true},
      {"\\\\?\\C:\\Users\\me\\Desktop", "\\\\?\\C:\\Users\\me", true},
      {"C:\\x", "C:\\", true},
      {"C:\\Users\\meX\\Desktop", "C:\\Users\\me", false},
      {"C:\\Users", "C:\\Users\\me", false},
      {"C:\\Windows\\System32", "C:\\Users\\me", false},
      {"C:\\Users\\me\\..\\..\\Windows", "C:\\Users\\me", false},
      {"C:\\Users\\me\\Desktop\\..", "C:\\Users\\me", false},
      {"C:\\Users\\me\\..x\\Desktop", "C:\\Users\\me", true},
      {"C:\\Users\\me", "", false},
      {"\\\\?\\Z:\\root", "\\\\?\\C:\\users\\root", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInFolder(c.path, c.folder), c.in) << c.path;
}

TEST(TextRoutines, TwipsFollowTheResolution) {
  using win32::FontHeight;
  using win32::TwipsToPixels;
  EXPECT_EQ(TwipsToPixels(6615, 96), 441);
  EXPECT_EQ(TwipsToPixels(4455, 96), 297);
  EXPECT_EQ(TwipsToPixels(1440, 120), 120);
  EXPECT_EQ(TwipsToPixels(3750, 144), 375);
  EXPECT_EQ(FontHeight(825, 96), -11);
  EXPECT_EQ(FontHeight(1425, 96), -19);
  EXPECT_EQ(FontHeight(825, 120), -14);
}

TEST(ManifestFields, SeparatorsQuotesAndBlanks) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Fields("a,b\r\nc\rd\ne", 9), (V{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(Fields("\"x, y\",  z", 9), (V{"x, y", "z"}));
  EXPECT_EQ(Fields("\"quoted\" junk,next", 9), (V{"quoted", "next"}));
  EXPECT_EQ(Fields("a\r\n\r\nb", 9), (V{"a", "", "b"}));  // a blank line is one empty field
  EXPECT_EQ(Fields("   lead,trail   \r\n", 9), (V{"lead", "trail"}));
  EXPECT_EQ(Fields("\"unterminated", 9), (V{"unterminated"}));
  EXPECT_EQ(Fields("", 9), V{});
  EXPECT_EQ(Fields("a,b,c,d,e,f,g", 6).size(), 6u);
}

TEST(TextBoxText, LinesEndAtCrOrCrLf) {
  const struct {
    std::string file;
    std::string text;
  } cases[] = {
      {"a\r\nb\r\nc\r\n", "a\r\nb\r\nc\r\n"},
      {"\r\n", "\r\n"},
      {"", ""},
      {"last", "last\r\n"},
      {"one\ntwo", "one\ntwo\r\n"},  // a lone LF stays in its line
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\r\r\nb", "a\r\n\r\nb\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextBoxLines(c.file), c.text);
}

}  // namespace

// UTF-8 carries every UTF-16 name there and back, a lone surrogate too (a
// name record may hold one, and the registry keeps it); bytes that are no
// UTF-8 become U+FFFD one by one.
TEST(TextRoutines, Utf8BothWays) {
  const std::u16string names[] = {u"",
                                  u"Quillo Sans",
                                  u"Caf\u00E9",
                                  u"\uC740 \uBC14\uD0D5",
                                  u"\U0001F600 face",
                                  u"lone \xD800 half",
                                  u"\xDC00"};
  for (const std::u16string& name : names) EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(name)), name);
  EXPECT_EQ(Utf8FromUtf16(u"Caf\u00E9 \U0001F600"), "Caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16FromUtf8("a\xC3"), u"a\uFFFD");                              // cut short
  EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong '/'
  EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
  // The ANSI forms, as a Western system has them.
  EXPECT_EQ(AnsiFromUtf8("Caf\xC3\xA9 \xEC\x9D\x80"), "Caf\xE9 ?");
  EXPECT_EQ(Utf8FromAnsi("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(FoldCaseUtf8("caf\xC3\xA9 i"), "CAF\xC3\x89 I");
}

}  // namespace sorvela
