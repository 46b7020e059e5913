// Field conversions and header walks of the package trailer.
#include "base/file_names.h"
#include "package/trailer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "fakes/fakes.h"
#include "fakes/package.h"
#include "package/memory_file.h"

namespace sorvela {
namespace {

using fakes::MakePackage;
using fakes::PeHeaders;
using fakes::Put;
using fakes::SecurityEntry;
using fakes::Sign;

TEST(TrailerFields, CountTakesTheLeadingNumber) {
  const struct {
    std::string field;
    int16_t count;
  } cases[] = {
      {"00003", 3},
      {std::string("3\0\0\0\0", 5), 3},
      {"3    ", 3},
      {"  12 ", 12},
      {"\r\n7\r\n", 7},
      // Line breaks go before the number is read, wherever they stand.
      {"1\r\n2 ", 12},
      {"3\n2\n1", 321},
      {"abc", 0},
      {"", 0},
      {"-2", -2},
      {"2.5", 2},
      {"3.5", 4},
      {"12x3", 12},
      {"32767", 32767},
      {"-32768", -32768},
  };
  for (const auto& c : cases) {
    int16_t count = 99;
    ASSERT_FALSE(trailer::ParseCount(c.field, &count)) << c.field;
    EXPECT_EQ(count, c.count) << c.field;
  }
  int16_t count = 0;
  EXPECT_TRUE(trailer::ParseCount("32768", &count));
  EXPECT_TRUE(trailer::ParseCount("99999", &count));
  EXPECT_TRUE(trailer::ParseCount("-40000", &count));
}

TEST(TrailerFields, SizeMustBeAWholeNonNegativeNumber) {
  uint32_t size = 0;
  for (const std::string& ok : std::vector<std::string>{
           "123", "123       ", std::string("42\0\0\0\0\0\0\0\0", 10), "   7   ", "0000000009"}) {
    ASSERT_FALSE(trailer::ParseSize(ok, &size)) << ok;
  }
  EXPECT_EQ(size, 9u);
  for (const std::string& bad :
       std::vector<std::string>{"", "          ", "-5", "12a", "1 2", "0x10", "+-1", "1.5",
                                "9999999999", "2147483648"}) {
    EXPECT_TRUE(trailer::ParseSize(bad, &size)) << bad;
  }
  ASSERT_FALSE(trailer::ParseSize("2147483647", &size));
  EXPECT_EQ(size, 2147483647u);
}

TEST(TrailerFields, NamesLoseLineBreaksAndEndAtNul) {
  EXPECT_EQ(trailer::NameFromField("font.ttf\r\n   "), "font.ttf   ");
  EXPECT_EQ(trailer::NameFromField(std::string("a.ttf\0junk", 10)), "a.ttf");
  EXPECT_EQ(trailer::NameFromField("fo\rnt\n.ttf"), "font.ttf");
}

TEST(TrailerFields, UnsafeNamesAreRecognised) {
  const struct {
    std::string name;
    bool safe;
  } cases[] = {
      {"font.ttf", true},
      {"a..b.ttf", true},
      {"", true},
      {"  ", true},
      {"kestrel.dat", true},
      {"font.ttf   ", true},
      {" .ttf", true},
      {"CONSOLE.ttf", true},
      {"xcon.ttf", true},
      {"a con.ttf", true},
      {"COM10.ttf", true},
      {"LPT.ttf", true},
      {"com.ttf", true},
      {"nul-font.ttf", true},
      {"Caf\xE9.ttf", true},
      // Leaving the folder.
      {"..", false},
      {".", false},
      {"...", false},
      {".. ", false},
      {"..\\win.ini", false},
      {"a/b", false},
      {"C:font.ttf", false},
      {"\\evil.ttf", false},
      {"sub\\x", false},
      // Names the system would change: a dot at the end, before any padding.
      {"x.", false},
      {"font.ttf.", false},
      {"font.ttf. ", false},
      {"font.ttf .", false},
      // Devices, alone or before an extension, in any case.
      {"CON", false},
      {"con", false},
      {"Con.ttf", false},
      {"AUX.ttf", false},
      {"nul.tar.gz", false},
      {"PRN   ", false},
      {"COM1", false},
      {"com9.ttf", false},
      {"LPT1.TTF", false},
      {"lpt9", false},
      {"CONIN$", false},
      {"conout$.txt", false},
      {"CON .ttf", false},
      {"COM\xB9.ttf", false},
      // What a file name can't hold.
      {"a<b.ttf", false},
      {"a>b.ttf", false},
      {"a\"b.ttf", false},
      {"a|b.ttf", false},
      {"a?.ttf", false},
      {"*.ttf", false},
      {"tab\there.ttf", false},
      {"bell\x07.ttf", false},
      {"\x1F.ttf", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSafeName(c.name), c.safe) << c.name;
}

// The rules hold for a name as each system reads its bytes: where two bytes
// make one character, a trail byte is no separator and a lead byte at the end
// is no text at all.
TEST(TrailerNames, SafeUnderEachCodePage) {
  const struct {
    const char* what;
    std::string name;
    bool western, japanese, chinese, korean, taiwanese;  // 1252, 932, 936, 949, 950
  } cases[] = {
      {"plain", "Quillo-Bold.ttf", true, true, true, true, true},
      // A lead byte elsewhere: with '.' after it, no character.
      {"Western letters", "Caf\xE9.ttf", true, false, false, false, false},
      // 表 in code page 932: its trail byte is the backslash elsewhere.
      {"a trail byte 0x5C", "\x95\x5C.ttf", false, true, true, false, false},
      {"a lead byte at the end", "font.ttf\x81", true, false, false, false, false},
      {"a lead byte before the padding", "font.ttf\x81   ", true, false, false, false, false},
      // Superscript one in code page 949: a second way to write COM1.
      {"COM and a Korean superscript", "COM\xA9\xF7.ttf", true, false, false, false, true},
      {"COM and a Western superscript", "COM\xB9.ttf", false, true, false, false, false},
  };
  for (const auto& c : cases) {
    const bool expected[] = {c.western, c.japanese, c.chinese, c.korean, c.taiwanese};
    const unsigned codePages[] = {1252, 932, 936, 949, 950};
    for (size_t i = 0; i < 5; ++i)
      EXPECT_EQ(IsSafeNameIn(codePages[i], c.name), expected[i])
          << c.what << " under " << codePages[i];
  }
  // Case folds beyond ASCII, as the file system folds it.
  EXPECT_EQ(NameKeyIn(1252, "caf\xE9.ttf. "), NameKeyIn(1252, "CAF\xC9.TTF"));
  EXPECT_NE(NameKeyIn(1252, "\xE9"), NameKeyIn(1252, "e"));
}

TEST(TrailerWalk, FindsEntriesFromTheEnd) {
  const std::string stub(777, 'S');
  const std::string bytes = MakePackage({{"a", "AAAA"}, {"b", ""}, {"c", "CC"}}, '\0', stub);
  ASSERT_EQ(bytes.size(), stub.size() + (4 + 50) + (0 + 50) + (2 + 50) + 519);
  MemoryFile file(bytes);
  int16_t count = 0;
  ASSERT_FALSE(trailer::ReadCount(file, &count));
  ASSERT_EQ(count, 3);
  std::vector<trailer::Entry> entries;
  ASSERT_FALSE(trailer::ReadEntries(file, count, &entries));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "c");
  EXPECT_EQ(entries[0].dataOffset, bytes.size() - 569 - 2);
  EXPECT_EQ(entries[1].name, "b");
  EXPECT_EQ(entries[1].size, 0u);
  EXPECT_EQ(entries[2].name, "a");
  EXPECT_EQ(entries[2].dataOffset, stub.size());  // the first entry appended starts at P
}

TEST(TrailerWalk, EntryOneIsReadWhateverTheCount) {
  for (int64_t count : {0, -3}) {
    std::string bytes = MakePackage({{"a", "1"}, {"b", "2"}});
    bytes.replace(bytes.size() - 519, 5, trailer::CountField(count));
    MemoryFile file(bytes);
    int16_t n = 0;
    ASSERT_FALSE(trailer::ReadCount(file, &n));
    std::vector<trailer::Entry> entries;
    ASSERT_FALSE(trailer::ReadEntries(file, n, &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "b");
  }
}

TEST(TrailerWalk, DamagedTrailersFail) {
  const std::string good = MakePackage({{"a.ttf", "xyz"}});
  auto walk = [](const std::string& bytes) {
    MemoryFile file(bytes);
    int16_t count = 0;
    std::vector<trailer::Entry> entries;
    if (Error e = trailer::ReadCount(file, &count)) return e;
    return trailer::ReadEntries(file, count, &entries);
  };
  ASSERT_FALSE(walk(good));

  std::string notNumber = good;
  notNumber.replace(good.size() - 529, 10, "abcdefghij");
  std::string negative = good;
  negative.replace(good.size() - 529, 10, "-3        ");
  std::string beforeStart = good;
  beforeStart.replace(good.size() - 529, 10, "99999999  ");
  std::string tooMany = good;
  tooMany.replace(good.size() - 519, 5, "40000");
  std::string twoCounted = good;  // the second header would lie in the stub's bytes
  twoCounted.replace(good.size() - 519, 5, "2    ");
  std::string unsafe = MakePackage({{"..", "x"}});

  for (const std::string* bytes :
       {&notNumber, &negative, &beforeStart, &tooMany, &twoCounted, &unsafe})
    EXPECT_TRUE(walk(*bytes));
  // Cut off in the trailer or the last header, nothing can be found.
  for (size_t cut = 11; cut < 519 + 50 + 3; ++cut)
    EXPECT_TRUE(walk(good.substr(0, good.size() - cut))) << cut;
  EXPECT_TRUE(walk(""));
  EXPECT_TRUE(walk(std::string(600, '\0')));
}

// Valid packages with a few header or count bytes changed: what still parses
// must be entries that lie back to back inside the file, as many as counted.
TEST(TrailerWalk, MutatedPackagesParseOnlyIntoEntriesInsideTheFile) {
  std::mt19937 random(1234);
  const char kBytes[] = "0123456789 \r\n\0-+.ab/";
  int parsed = 0;
  constexpr int kRounds = 2000;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<fakes::TestEntry> entries(1 + random() % 5);
    for (auto& e : entries) {
      e.name = "f" + std::to_string(random() % 100) + ".ttf";
      e.data.assign(random() % 300, 'd');
    }
    std::string bytes =
        MakePackage(entries, random() % 2 ? ' ' : '\0', std::string(random() % 200, 'M'));
    // Somewhere in the count field or in a header: every field the walk reads.
    std::vector<size_t> fields = {bytes.size() - 519};
    for (size_t end = bytes.size() - 519, i = 0; i < entries.size(); ++i) {
      fields.push_back(end - 50);
      end -= 50 + entries[entries.size() - 1 - i].data.size();
    }
    for (int n = 1 + random() % 2; n > 0; --n) {
      const size_t field = fields[random() % fields.size()];
      const size_t width = field == bytes.size() - 519 ? 5 : 50;
      bytes[field + random() % width] = kBytes[random() % (sizeof kBytes - 1)];
    }
    MemoryFile file(bytes);
    int16_t count = 0;
    std::vector<trailer::Entry> found;
    if (trailer::ReadCount(file, &count) || trailer::ReadEntries(file, count, &found)) continue;
    ++parsed;
    ASSERT_EQ(found.size(), static_cast<size_t>(std::max<int>(count, 1)));
    uint64_t end = bytes.size() - 519;
    for (const trailer::Entry& e : found) {
      ASSERT_LE(uint64_t{e.size} + 50, end) << round;
      ASSERT_EQ(e.dataOffset, end - 50 - e.size) << round;
      EXPECT_TRUE(IsSafeName(e.name)) << round;
      end = e.dataOffset;
    }
  }
  // Mutations in the names and the padding mostly keep a package readable;
  // most in the numbers do not.
  EXPECT_GT(parsed, kRounds / 5);
  EXPECT_LT(parsed, kRounds * 9 / 10);
}

// The trailer of a signed package ends before the certificate table and the
// signer's zeros; a security directory that names no table past the headers
// ending the file leaves the file read from its true end.
TEST(TrailerSigned, LogicalEndFollowsTheSecurityDirectory) {
  const std::vector<fakes::TestEntry> entries = {
      {"kestrel.dat", fakes::Manifest()}, {"b.ttf", "12345"}, {"a.ttf", "xy"}};
  struct Case {
    std::string what, bytes;
    uint64_t end;  // 0: the file's length
  };
  std::vector<Case> cases;
  // The signer's zeros and a tail block that ends in zeros look alike.
  for (char pad : {'\0', ' '})
    for (int extra = 0; extra < 8; ++extra) {
      const std::string before =
          MakePackage(entries, pad, PeHeaders(extra % 2 ? 0x20b : 0x10b) + std::string(extra, 'S'));
      cases.push_back(
          {"padding " + std::to_string(7 - (before.size() + 7) % 8), Sign(before), before.size()});
    }
  const std::string unsignedBytes = MakePackage(entries, '\0', PeHeaders());
  const std::string signedBytes = Sign(unsignedBytes);
  const size_t entry = SecurityEntry(signedBytes);
  const auto table = static_cast<uint32_t>(signedBytes.size() - 40);
  auto with = [](std::string bytes, size_t at, uint32_t value, int width = 4) {
    Put(&bytes, at, value, width);
    return bytes;
  };
  // Only zeros pad: with a byte of its own behind it, the package no longer ends at the table.
  const std::string notPadding = Sign(MakePackage(entries, '\0', PeHeaders() + "1") + "J");
  cases.insert(cases.end(),
               {
                   {"unsigned", unsignedBytes, 0},
                   {"no package before the table", Sign(PeHeaders()), 0x200},
                   {"a byte between package and table", notPadding, notPadding.size() - 40},
                   {"size 0", with(signedBytes, entry + 4, 0), 0},
                   {"offset past the end", with(signedBytes, entry, table + 41), 0},
                   {"size past the end", with(signedBytes, entry + 4, 41), 0},
                   {"offset and size wrap at 32 bits",
                    with(with(signedBytes, entry, 0xFFFFFFF8u), entry + 4, table + 48), 0},
                   {"something appended after signing", signedBytes + "more", 0},
                   {"table inside the section table",
                    with(with(signedBytes, entry, 0x178), entry + 4, table + 40 - 0x178), 0},
                   {"four directories", with(signedBytes, 0x98 + 92, 4), 0},
                   {"optional header too short", with(signedBytes, 0x94, 128, 2), 0},
                   {"unknown magic", with(signedBytes, 0x98, 0x107, 2), 0},
                   {"NE, not PE", with(signedBytes, 0x80, 0x454E, 2), 0},
                   {"PE header past the end", with(signedBytes, 0x3C, 0xFFFFFFF0u), 0},
                   {"PE header cut short", with(signedBytes.substr(0, 0x100), 0x3C, 0xF0), 0},
                   {"no MZ", with(signedBytes, 0, 0x5A4E, 2), 0},
               });
  for (const Case& c : cases) {
    const uint64_t end = c.end ? c.end : c.bytes.size();
    // The walks see the file up to there and no further.
    const std::unique_ptr<ReadFile> package =
        trailer::CutAtLogicalEnd(std::make_unique<MemoryFile>(c.bytes));
    EXPECT_EQ(package->Length(), end) << c.what;
    char byte;
    EXPECT_TRUE(package->ReadAt(end, &byte, 1)) << c.what;
  }
}

TEST(TrailerBuild, FieldsArePaddedToTheirWidth) {
  EXPECT_EQ(trailer::NameField("a.ttf", '\0'), std::string("a.ttf") + std::string(35, '\0'));
  EXPECT_EQ(trailer::SizeField(1234), "1234      ");
  EXPECT_EQ(trailer::CountField(3, '\0'), std::string("3\0\0\0\0", 5));
  std::string bytes = MakePackage({{"x", "data"}}, '\0', "");
  EXPECT_EQ(bytes.size(), 4 + 50 + 519u);
}

}  // namespace
}  // namespace sorvela
