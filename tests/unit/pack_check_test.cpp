// sorvela-pack check: what each kind of package reports, fonts and problems.
#include "tools/pack/check.h"

#include "package/text_file.h"

#include <gtest/gtest.h>

#include "fakes/font_builder.h"
#include "fakes/package.h"
#include "package/memory_file.h"

namespace sorvela {
namespace {

using fakes::MakeFont;
using fakes::MakePackage;
using fakes::Manifest;
using fakes::PeHeaders;
using fakes::Sign;
using fakes::TestEntry;

// Appended in this order, so the last one is entry 1.
std::vector<TestEntry> With(std::vector<TestEntry> entries) {
  entries.insert(entries.begin(), {"kestrel.dat", Manifest()});
  return entries;
}

TEST(PackCheck, ReportsEachFontAndEveryProblemOnce) {
  const std::string sans = MakeFont("Quillo Sans"), bold = MakeFont("Quillo Sans Bold");
  const struct {
    const char* what;
    std::string package;
    std::vector<std::string> fonts;  // "file=value"
    std::vector<std::string> problems;
  } cases[] = {
      {"sound: fonts in install order, padding and a readme by another case",
       MakePackage({{"readme.txt", "hi"},
                    {"kestrel.dat", Manifest("README.TXT")},
                    {"Bold.otf", MakeFont("Quillo Sans Bold", "", "Regular", true)},
                    {"Sans.ttf  ", sans}},
                   ' '),
       {"Sans.ttf=Quillo Sans (TrueType)", "Bold.otf=Quillo Sans Bold (OpenType)"},
       {}},
      {"not a font",
       MakePackage(With({{"Broken.ttf", "not a font at all"}, {"Sans.ttf", sans}})),
       {"Sans.ttf=Quillo Sans (TrueType)"},
       {"\"Broken.ttf\" is not a usable font: it is not a TrueType or OpenType font"}},
      {"one value name for two fonts, told apart by case only",
       MakePackage(With({{"B.ttf", MakeFont("QUILLO SANS")}, {"A.ttf", sans}})),
       {"A.ttf=Quillo Sans (TrueType)", "B.ttf=QUILLO SANS (TrueType)"},
       {"\"A.ttf\" and \"B.ttf\" would both be registered as \"QUILLO SANS (TrueType)\""}},
      {"namesakes: the entry read later is the file",
       MakePackage(With({{"a.TTF", bold}, {"A.ttf", sans}})),
       {"a.TTF=Quillo Sans Bold (TrueType)"},
       {"\"A.ttf\" and \"a.TTF\" are one file to the system: only \"a.TTF\" is kept"}},
      // On a system where two bytes may make one character, a Western letter
      // before a dot is no character at all.
      {"namesakes by a letter beyond ASCII",
       MakePackage(With({{"\xC9.ttf", bold}, {"\xE9.ttf", sans}})),
       {"\xC9.ttf=Quillo Sans Bold (TrueType)"},
       {"\"\xE9.ttf\" and \"\xC9.ttf\" are one file to the system: only \"\xC9.ttf\" is kept",
        "\"\xE9.ttf\" is not a name the package can hold on a system of code page 932, 936, 949, "
        "950: the package reads as damaged there",
        "\"\xC9.ttf\" is not a name the package can hold on a system of code page 936, 949, 950: "
        "the package reads as damaged there"}},
      // Fullwidth A and a under code page 932, two other names under 1252;
      // a lead byte at the end is no character where two bytes make one.
      {"names another code page reads otherwise",
       MakePackage(With({{"\x82\x81.ttf", bold}, {"\x82\x60.ttf", sans}, {"x.ttf\x81", "x"}})),
       {"\x82\x60.ttf=Quillo Sans (TrueType)", "\x82\x81.ttf=Quillo Sans Bold (TrueType)"},
       {"\"\x82\x60.ttf\" and \"\x82\x81.ttf\" are one file on a system of code page 932: only "
        "one of them is kept there",
        "\"x.ttf\x81\" is not a name the package can hold on a system of code page 932, 936, 949, "
        "950: the package reads as damaged there",
        "\"\x82\x60.ttf\" is not a name the package can hold on a system of code page 949, 950: "
        "the package reads as damaged there",
        "\"\x82\x81.ttf\" is not a name the package can hold on a system of code page 950: the "
        "package reads as damaged there"}},
      {"readme and licence missing",
       MakePackage({{"kestrel.dat", Manifest("readme.txt", "licence.txt")}, {"Sans.ttf", sans}}),
       {"Sans.ttf=Quillo Sans (TrueType)"},
       {"the manifest names the readme \"readme.txt\", which the package does not hold",
        "the manifest names the licence \"licence.txt\", which the package does not hold"}},
      {"no manifest",
       MakePackage({{"Sans.ttf", sans}}),
       {"Sans.ttf=Quillo Sans (TrueType)"},
       {"the package has no manifest (kestrel.dat)"}},
      {"manifest tag in another case",
       MakePackage({{"kestrel.dat", "\"kestrel datafile 1\",NOREADME,NOLICENSE,T,U,V"}}),
       {},
       {"the manifest does not begin with \"KESTREL DATAFILE 1\""}},
      {"manifest of five fields",
       MakePackage({{"kestrel.dat", "\"KESTREL DATAFILE 1\",NOREADME,NOLICENSE,T,U"}}),
       {},
       {"the manifest has fewer than six fields"}},
      {"names the package can't hold, each named, the rest still checked",
       MakePackage(With({{"Con.txt", "x"}, {"Sans.ttf", sans}, {"a\\b.ttf", bold}})),
       {"a\\b.ttf=Quillo Sans Bold (TrueType)", "Sans.ttf=Quillo Sans (TrueType)"},
       {"\"a\\b.ttf\" is not a name the package can hold: the package reads as damaged",
        "\"Con.txt\" is not a name the package can hold: the package reads as damaged"}},
      {"code that \"/E\" would drop beside the package",
       MakePackage(With({{"version.DLL ", "MZ"}, {"Sans.ttf", sans}})),
       {"Sans.ttf=Quillo Sans (TrueType)"},
       {"\"version.DLL\" would run as code: \"/E\" leaves it out, and the tool refuses it"}},
      {"signed after packing",
       Sign(MakePackage(With({{"Sans.ttf", sans}}), '\0', PeHeaders())),
       {"Sans.ttf=Quillo Sans (TrueType)"},
       {}},
      {"something appended after signing",
       Sign(MakePackage(With({{"Sans.ttf", sans}}), '\0', PeHeaders())) + "more",
       {},
       {"the signature no longer ends the file: something was added after signing, so the "
        "signature is broken; sign the package again",
        "the package's entries can't be read (Type mismatch): it shows \"This Sorvela contains "
        "no fonts.\""}},
      {"a web address of another scheme",
       MakePackage({{"kestrel.dat", Manifest("NOREADME", "NOLICENSE", "T", "file:///C:/x.exe")}}),
       {},
       {"the web address \"file:///C:/x.exe\" is no http:// or https:// address of at most "
        "2,048 characters a web link can take: the install writes no web links"}},
      {"a web address too long, shown by its start",
       MakePackage({{"kestrel.dat", Manifest("NOREADME", "NOLICENSE", "T",
                                             "http://a.example/" + std::string(2032, 'x'))}}),
       {},
       {"the web address \"http://a.example/" + std::string(43, 'x') +
        "...\" is no http:// or https:// address of at most 2,048 characters a web link can "
        "take: the install writes no web links"}},
      {"a stub without a package",
       std::string(4000, 'M'),
       {},
       {"the package's entries can't be read (Type mismatch): it shows \"This Sorvela contains "
        "no fonts.\""}},
  };
  for (const auto& c : cases) {
    MemoryFile package(c.package);
    const pack::CheckReport report = pack::CheckPackage(package);
    std::vector<std::string> fonts;
    for (const pack::CheckedFont& font : report.fonts)
      fonts.push_back(font.file + "=" + font.valueName);
    EXPECT_EQ(fonts, c.fonts) << c.what;
    EXPECT_EQ(report.problems, c.problems) << c.what;
    EXPECT_EQ(report.Sound(), c.problems.empty()) << c.what;
  }
}

// The entry's key: the id, else publisher and title, kept to safe letters;
// check shows it with the publisher and the version.
TEST(PackCheck, TheEntryOfThePackage) {
  const struct {
    const char* publisher;
    const char* title;
    const char* id;
    const char* key;
  } cases[] = {
      {"", "Sample Fonts", "", "Sorvela.Sample Fonts"},
      {"Quillo Type", "Sample Fonts", "", "Sorvela.Quillo Type Sample Fonts"},
      {"Quillo Type", "Sample Fonts", "quillo.sample", "Sorvela.quillo.sample"},
      {"", "", "", "Sorvela.Fonts"},
  };
  for (const auto& c : cases) EXPECT_EQ(PackageIdOf(c.publisher, c.title, c.id), c.key) << c.title;
  // Titles of other scripts, or cut, differ by the hash of their whole text.
  const std::string hangul = PackageIdOf("", "\xC0\xBA\xB9\xD9\xC5\xC1", "");
  const std::string other = PackageIdOf("", "\xC0\xBA\xB5\xB8\xBF\xF2", "");
  EXPECT_EQ(hangul.size(), 8u + 8u);
  EXPECT_NE(hangul, other);
  EXPECT_EQ(PackageIdOf("", "..\\Run\\  \xE9x", "").substr(0, 16), "Sorvela...Run x ");
  const std::string longer = PackageIdOf("", std::string(100, 'x'), "");
  EXPECT_EQ(longer.size(), 8u + 64u);
  EXPECT_NE(longer, PackageIdOf("", std::string(101, 'x'), ""));

  const std::string sans = MakeFont("Quillo Sans");
  const std::string describedBytes =
      MakePackage({{"kestrel.dat", Manifest() + "\"Quillo Type\"\r\n\"2.1.0\"\r\n\"quillo\"\r\n"},
                   {"Sans.ttf", sans}});
  MemoryFile described(describedBytes);
  const pack::CheckReport report = pack::CheckPackage(described);
  EXPECT_EQ(report.entry, "Sorvela.quillo");
  EXPECT_EQ(report.publisher, "Quillo Type");
  EXPECT_EQ(report.version, "2.1.0");
  const std::string plainBytes = MakePackage({{"kestrel.dat", Manifest()}, {"Sans.ttf", sans}});
  MemoryFile plain(plainBytes);
  EXPECT_EQ(pack::CheckPackage(plain).entry, "Sorvela.Sample Fonts");
}

}  // namespace
}  // namespace sorvela
