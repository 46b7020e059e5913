// Field conversions and header walks of the package trailer.
#include "package/trailer.h"

#include <gtest/gtest.h>

#include <random>

#include "fakes/package.h"
#include "package/memory_file.h"

namespace sorvela {
namespace {

using fakes::MakePackage;

TEST(TrailerFields, CountTakesTheLeadingNumber) {
  const struct {
    std::string field;
    int16_t count;
  } cases[] = {
      {"00003", 3},         {std::string("3\0\0\0\0", 5), 3}, {"3    ", 3},  {"  12 ", 12},
      {"\r\n7\r\n", 7},     {"abc", 0},                       {"", 0},       {"-2", -2},
      {"2.5", 2},           {"3.5", 4},                       {"12x3", 12},  {"32767", 32767},
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
  for (const std::string& ok : std::vector<std::string>{"123", "123       ", std::string("42\0\0\0\0\0\0\0\0", 10),
                               "   7   ", "0000000009"}) {
    ASSERT_FALSE(trailer::ParseSize(ok, &size)) << ok;
  }
  EXPECT_EQ(size, 9u);
  for (const std::string& bad : std::vector<std::string>{"", "          ", "-5", "12a", "1 2", "0x10", "+-1", "1.5",
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
      {"font.ttf", true},        {"a..b.ttf", true},       {"", true},
      {"  ", true},              {"kestrel.dat", true},    {"font.ttf   ", true},
      {" .ttf", true},           {"CONSOLE.ttf", true},    {"xcon.ttf", true},
      {"a con.ttf", true},       {"COM10.ttf", true},      {"LPT.ttf", true},
      {"com.ttf", true},         {"nul-font.ttf", true},   {"Caf\xE9.ttf", true},
      // Leaving the folder.
      {"..", false},             {".", false},             {"...", false},
      {".. ", false},            {"..\\win.ini", false},  {"a/b", false},
      {"C:font.ttf", false},     {"\\evil.ttf", false},   {"sub\\x", false},
      // Names the system would change: a dot at the end, before any padding.
      {"x.", false},             {"font.ttf.", false},     {"font.ttf. ", false},
      {"font.ttf .", false},
      // Devices, alone or before an extension, in any case.
      {"CON", false},            {"con", false},           {"Con.ttf", false},
      {"AUX.ttf", false},        {"nul.tar.gz", false},    {"PRN   ", false},
      {"COM1", false},           {"com9.ttf", false},      {"LPT1.TTF", false},
      {"lpt9", false},           {"CONIN$", false},        {"conout$.txt", false},
      {"CON .ttf", false},       {"COM\xB9.ttf", false},
      // What a file name can't hold.
      {"a<b.ttf", false},        {"a>b.ttf", false},       {"a\"b.ttf", false},
      {"a|b.ttf", false},        {"a?.ttf", false},        {"*.ttf", false},
      {"tab\there.ttf", false},  {"bell\x07.ttf", false},  {"\x1F.ttf", false},
  };
  for (const auto& c : cases) EXPECT_EQ(trailer::IsSafeName(c.name), c.safe) << c.name;
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

TEST(TrailerWalk, RandomBytesNeverReadOutsideTheFile) {
  std::mt19937 random(1234);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 1200, '\0');
    for (char& c : bytes) c = static_cast<char>("0123456789 \r\n\0-ab"[random() % 18]);
    MemoryFile file(bytes);
    int16_t count = 0;
    std::vector<trailer::Entry> entries;
    if (trailer::ReadCount(file, &count)) continue;
    if (trailer::ReadEntries(file, count, &entries)) continue;
    for (const trailer::Entry& e : entries) EXPECT_LE(e.dataOffset + e.size, bytes.size());
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
