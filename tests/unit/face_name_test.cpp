#include "fonts/face_name.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POISON(p, n) __asan_poison_memory_region((p), (n))
#define UNPOISON(p, n) __asan_unpoison_memory_region((p), (n))
#else
#define POISON(p, n) ((void)(p), (void)(n))
#define UNPOISON(p, n) ((void)(p), (void)(n))
#endif

#include "fakes/font_builder.h"
#include "tools/host/posix_files.h"

namespace sorvela {
namespace {

struct Record {
  uint16_t platform, encoding, language, nameId;
  std::string bytes;
};

std::string U16(uint32_t v) { return {char(v >> 8), char(v & 0xFF)}; }
std::string U32(uint32_t v) { return U16(v >> 16) + U16(v & 0xFFFF); }
std::string Utf16(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += U16(c);
  return out;
}
Record Win(std::u16string_view t, uint16_t lang = 0x0409, uint16_t id = 1) {
  return {3, 1, lang, id, Utf16(t)};
}
Record Sym(std::u16string_view t) { return {3, 0, 0x0409, 1, Utf16(t)}; }
Record Mac(std::string t, uint16_t lang = 0) { return {1, 0, lang, 1, std::move(t)}; }
Record Uni(uint16_t encoding, std::u16string_view t) { return {0, encoding, 0, 1, Utf16(t)}; }

// A 4-byte 'cmap' placeholder comes first so that 'name' is not entry 0.
constexpr size_t kNameEntry = 12 + 16, kNameTable = 12 + 2 * 16 + 4, kRecord0 = kNameTable + 6;

std::string NameTableOf(const std::vector<Record>& records) {
  std::string storage, name = U16(0) + U16(records.size()) + U16(6 + 12 * records.size());
  for (const Record& r : records) {
    name += U16(r.platform) + U16(r.encoding) + U16(r.language) + U16(r.nameId) +
            U16(r.bytes.size()) + U16(storage.size());
    storage += r.bytes;
  }
  return name + storage;
}

std::string BuildFont(const std::vector<Record>& records) {
  const std::string name = NameTableOf(records);
  return U32(0x00010000) + U16(2) + U16(32) + U16(1) + U16(0) + "cmap" + U32(0) +
         U32(kNameTable - 4) + U32(4) + "name" + U32(0) + U32(kNameTable) + U32(name.size()) +
         std::string(4, '\0') + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

// Every proper prefix must give no name. Bytes past the prefix are poisoned,
// so a read beyond it trips the sanitizer without copying each prefix.
void ExpectEveryTruncationEmpty(const std::string& font, bool identity = false) {
  std::vector<char> buffer(font.begin(), font.end());
  POISON(buffer.data(), buffer.size());
  size_t named = 0;
  for (size_t n = 0; n < font.size(); ++n) {
    if (n > 0) UNPOISON(buffer.data() + n - 1, 1);
    FontIdentity found;
    named += identity ? ReadFontIdentity({buffer.data(), n}, &found) == FontProblem::kNone
                      : !ReadFaceName({buffer.data(), n}).empty();
  }
  UNPOISON(buffer.data(), buffer.size());
  EXPECT_EQ(named, 0u);
}

// The choice among records follows what the system did with fonts whose name
// tables were rewritten: language first (US, then any English), then platform.
TEST(FaceNameTest, ChoosesAndConvertsLikeTheSystem) {
  const std::u16string n31(31, u'n');
  const struct {
    const char* what;
    std::vector<Record> records;
    std::string expected;
  } cases[] = {
      {"US beats an earlier language", {Win(u"Fr", 0x040C), Win(u"Us")}, "Us"},
      {"first of equal languages", {Win(u"De", 0x0407), Win(u"Fr", 0x040C)}, "De"},
      {"other English beats other", {Win(u"De", 0x0407), Win(u"Gb", 0x0809)}, "Gb"},
      {"US beats other English", {Win(u"Gb", 0x0809), Win(u"Us")}, "Us"},
      {"US symbol beats German", {Win(u"De", 0x0407), Sym(u"Sym")}, "Sym"},
      {"symbol and Unicode alike", {Sym(u"Sym"), Win(u"Uni")}, "Sym"},
      {"Mac English beats Japanese", {Mac("Mac"), Win(u"Ja", 0x0411)}, "Mac"},
      {"Windows beats Mac, same language", {Mac("Mac"), Win(u"Win")}, "Win"},
      {"Windows beats Mac, other languages", {Mac("Fr", 1), Win(u"De", 0x0407)}, "De"},
      {"Mac English beats Mac French", {Mac("Fr", 1), Mac("En")}, "En"},
      {"Unicode platform beats Mac", {Mac("Mac"), Uni(3, u"Uni")}, "Uni"},
      {"Unicode platform below Windows", {Uni(0, u"Uni"), Win(u"Win")}, "Win"},
      {"unused encodings ignored", {Uni(1, u"U1"), {3, 10, 0x0409, 1, Utf16(u"U4")}}, ""},
      {"family, not full or typographic",
       {Win(u"F B", 0x409, 4), Win(u"T", 0x409, 16), Win(u"F")},
       "F"},
      {"no family record", {Win(u"Full", 0x0409, 4)}, ""},
      {"empty record passed over", {Win(u""), Win(u"De", 0x0407)}, "De"},
      {"NUL-only record still chosen", {{3, 1, 0x0409, 1, U16(0)}, Win(u"De", 0x0407)}, ""},
      {"Latin-1 and 1252 extras", {Win(u"Caf\u00e9 \u20ac\u0152\u2122")}, "Caf\xe9 \x80\x8c\x99"},
      {"unassigned 1252 bytes round-trip", {Win(u"\u0081\u009d\u0080")}, "\x81\x9d?"},
      {"best fit",
       {Win(u"\u0141\u00f3d\u017a \u03a9\uff21\u2212")},
       "L\xf3"
       "dz OA-"},
      {"no best fit", {Win(u"\u4e2d\u2126\u2260")}, "???"},
      {"surrogate pair per unit", {Win(u"x\U0001F600")}, "x??"},
      {"stops at NUL", {Win(std::u16string(u"ab\0cd", 5))}, "ab"},
      {"odd byte dropped", {{3, 1, 0x0409, 1, Utf16(u"ab") + "c"}}, "ab"},
      {"Mac Roman", {Mac("Caf\x8e \x81\xdb\xd0")}, "Caf\xe9 \xc5\x80\x96"},
      {"Mac Roman best fit or not", {Mac("\xb9\xb0\xad\xbd\xf0")}, "p8???"},
      {"31 kept", {Win(n31)}, std::string(31, 'n')},
      {"32 cut", {Win(n31 + u"X")}, std::string(31, 'n')},
      {"cut after conversion", {Win(std::u16string(40, u'\u00e9'))}, std::string(31, '\xe9')},
      {"Mac cut", {Mac(std::string(200, 'm'))}, std::string(31, 'm')},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadFaceName(BuildFont(c.records)), c.expected) << c.what;
}

TEST(FaceNameTest, DamagedStructure) {
  // US English would win; German is the fallback when its record is unreadable.
  const std::string good = BuildFont({Win(u"De", 0x0407), Win(u"Us")});
  const size_t nameSize = good.size() - kNameTable, us = kRecord0 + 12;
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
    int width;
    std::string expected;
  } cases[] = {
      {"intact", 0, 0x00010000, 4, "Us"},
      {"'true' header", 0, 0x74727565, 4, "Us"},
      {"'OTTO' header", 0, 0x4F54544F, 4, ""},
      {"collection header", 0, 0x74746366, 4, ""},
      {"numTables huge", 4, 0xFFFF, 2, ""},
      {"name offset past end", kNameEntry + 8, uint32_t(good.size()), 4, ""},
      {"name offset wraps", kNameEntry + 8, 0xFFFFFFF0, 4, ""},
      {"name length past end", kNameEntry + 12, uint32_t(nameSize + 1), 4, ""},
      {"name length zero", kNameEntry + 12, 0, 4, ""},
      {"other table past end", 12 + 12, 0x10000, 4, ""},
      {"name format 2", kNameTable, 2, 2, ""},
      {"record count past table", kNameTable + 2, 0x1000, 2, ""},
      {"storage offset past table", kNameTable + 4, 0xFFFF, 2, ""},
      {"US string offset past table", us + 10, 0xFFF0, 2, "De"},
      {"US string one byte too long", us + 8, 5, 2, "De"},
      {"US length and offset at maximum", us + 8, 0xFFFFFFFF, 4, "De"},
  };
  for (const auto& c : cases) {
    std::string font = good;
    font.replace(c.at, c.width, c.width == 4 ? U32(c.value) : U16(c.value));
    const std::vector<char> exact(font.begin(), font.end());  // ASan sees the true end
    EXPECT_EQ(ReadFaceName({exact.data(), exact.size()}), c.expected) << c.what;
  }
  std::string lone = BuildFont({Win(u"Us")});
  lone.replace(kRecord0 + 10, 2, U16(0xFFF0));
  EXPECT_EQ(ReadFaceName(lone), "") << "only family string past table";
  ExpectEveryTruncationEmpty(good);
}

TEST(FaceNameTest, RandomAndMutatedBytesStayInside) {
  std::mt19937 rng(20240601);
  for (int i = 0; i < 2000; ++i) {
    std::vector<char> bytes(rng() % 512);
    for (char& b : bytes) b = char(rng());
    EXPECT_EQ(ReadFaceName({bytes.data(), bytes.size()}), "") << i;
  }
  // Damaged headers may still name something; what matters is staying inside.
  const std::string good = BuildFont({Mac("Mac"), Sym(u"Sym"), Win(u"Windows", 0x0407)});
  for (int i = 0; i < 20000; ++i) {
    std::vector<char> font(good.begin(), good.end());
    for (int k = 1 + rng() % 4; k > 0; --k) font[rng() % font.size()] = char(rng());
    EXPECT_LE(ReadFaceName({font.data(), font.size()}).size(), 31u);
  }
}

TEST(FaceNameTest, RealFonts) {
  const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/";
  const std::string liberation = "/usr/share/fonts/truetype/liberation/";
  const struct {
    std::string path, expected;
  } fonts[] = {
      {dejaVu + "DejaVuSans.ttf", "DejaVu Sans"},
      {dejaVu + "DejaVuSans-Bold.ttf", "DejaVu Sans"},
      {dejaVu + "DejaVuSansCondensed-Oblique.ttf", "DejaVu Sans Condensed"},
      {dejaVu + "DejaVuSans-ExtraLight.ttf", "DejaVu Sans Light"},
      {liberation + "LiberationSerif-Regular.ttf", "Liberation Serif"},
      {liberation + "LiberationMono-BoldItalic.ttf", "Liberation Mono"},
  };
  int found = 0;
  for (const auto& f : fonts) {
    const std::string bytes = ReadFile(f.path);
    if (bytes.empty()) continue;
    ++found;
    EXPECT_EQ(ReadFaceName(bytes), f.expected) << f.path;
  }
  if (found == 0) GTEST_SKIP() << "no DejaVu or Liberation fonts installed";
  // This file ends exactly at its last table, so every shorter prefix is cut.
  const std::string sans = ReadFile(dejaVu + "DejaVuSans.ttf");
  if (!sans.empty()) ExpectEveryTruncationEmpty(sans);
}

// The value names the system's font installer gives real fonts: TrueType
// styles, CFF OpenType fonts and a collection made by the test fixture.
TEST(FontIdentityTest, RealFonts) {
  const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/";
  const std::string urw = "/usr/share/fonts/opentype/urw-base35/";
  const char* made = std::getenv("SORVELA_TEST_FONTS");
  const std::string collection = made ? std::string(made) + "/DejaVuSerif.ttc" : "";
  const struct {
    std::string path, value, family;
  } fonts[] = {
      {dejaVu + "DejaVuSans.ttf", "DejaVu Sans (TrueType)", "DejaVu Sans"},
      {dejaVu + "DejaVuSans-Bold.ttf", "DejaVu Sans Bold (TrueType)", "DejaVu Sans"},
      {dejaVu + "DejaVuSans-Oblique.ttf", "DejaVu Sans Oblique (TrueType)", "DejaVu Sans"},
      {dejaVu + "DejaVuSans-BoldOblique.ttf", "DejaVu Sans Bold Oblique (TrueType)", "DejaVu Sans"},
      {urw + "NimbusSans-Regular.otf", "NimbusSans-Regular (OpenType)", ""},
      {urw + "C059-BdIta.otf", "C059-BdIta (OpenType)", ""},
      {collection, "DejaVu Serif & DejaVu Serif Bold (TrueType)", ""},
  };
  for (const auto& f : fonts) {
    const std::string bytes = ReadFile(f.path);
    ASSERT_FALSE(bytes.empty()) << "missing: " << f.path
                                << " (the collection is made by a ctest fixture)";
    FontIdentity id;
    ASSERT_EQ(ReadFontIdentity(bytes, &id), FontProblem::kNone) << f.path;
    EXPECT_EQ(id.ValueName(), f.value);
    EXPECT_EQ(id.family, f.family) << f.path;
  }
}

// The fuzzers' seeds, read from their files as the install reads a font and
// from memory as the package tool did, give the answers they always gave.
TEST(FontIdentityTest, FileAndBytesAgreeOverTheSeeds) {
  const std::string seeds = SORVELA_FUZZ_CORPUS "/face_name_fuzz/";
  const struct {
    const char* seed;
    FontProblem problem;
    std::string value, family, face;
  } cases[] = {
      {"DejaVuSans", FontProblem::kDamaged, "", "", "DejaVu Sans"},
      {"DejaVuSerif-BoldItalic", FontProblem::kDamaged, "", "", "DejaVu Serif"},
      {"LiberationMono-Italic", FontProblem::kDamaged, "", "", "Liberation Mono"},
      {"LiberationSans-Regular", FontProblem::kDamaged, "", "", "Liberation Sans"},
      {"cff_refused", FontProblem::kDamaged, "", "", ""},
      {"collection_cff", FontProblem::kNone, "C-R (TrueType)", "", ""},
      {"collection_two", FontProblem::kNone, "Pair & Pair Bold (TrueType)", "", ""},
      {"long_family", FontProblem::kDamaged, "", "", std::string(31, 'L')},
      {"mac_roman_only", FontProblem::kDamaged, "", "", "Caf\xe9 \x80"},
      {"record_outside", FontProblem::kDamaged, "", "", ""},
      {"unicode_platform", FontProblem::kDamaged, "", "", "Uni Face"},
      {"whole_cff", FontProblem::kNone, "Sample-Italic (OpenType)", "", ""},
      {"whole_truetype", FontProblem::kNone, "Sample Sans Bold (TrueType)", "Sample Sans",
       "Sample Sans"},
      {"win_best_fit_and_unmapped", FontProblem::kDamaged, "", "", "L\xe9 A ? \x80"},
      {"win_german_and_english", FontProblem::kDamaged, "", "", "Font US"},
  };
  PosixFiles files;
  for (const auto& c : cases) {
    const std::string bytes = ReadFile(seeds + c.seed);
    ASSERT_FALSE(bytes.empty()) << c.seed;
    std::unique_ptr<sorvela::ReadFile> file;
    ASSERT_FALSE(files.Open(seeds + c.seed, &file)) << c.seed;
    FontIdentity fromFile, fromBytes;
    Error readError;
    EXPECT_EQ(ReadFontIdentity(*file, &fromFile, &readError), c.problem) << c.seed;
    EXPECT_FALSE(readError) << c.seed;
    EXPECT_EQ(ReadFontIdentity(bytes, &fromBytes), c.problem) << c.seed;
    for (const FontIdentity& id : {fromFile, fromBytes}) {
      EXPECT_EQ(id.fullName.empty() ? "" : id.ValueName(), c.value) << c.seed;
      EXPECT_EQ(id.family, c.family) << c.seed;
    }
    EXPECT_EQ(ReadFaceName(bytes), c.face) << c.seed;
  }
}

// A file of `length` bytes, a font's at its start and zeros after, that
// counts the bytes read from it.
class CountingFile final : public sorvela::ReadFile {
 public:
  CountingFile(std::string start, uint64_t length) : start_(std::move(start)), length_(length) {}
  uint64_t Length() const override { return length_; }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset > length_ || n > length_ - offset)
      return MakeError(ErrorKind::kPastEnd, "Input past end of file");
    bytesRead += n;
    auto* out = static_cast<char*>(buffer);
    for (size_t i = 0; i < n; ++i) out[i] = offset + i < start_.size() ? start_[offset + i] : '\0';
    return Error::Ok();
  }
  uint64_t bytesRead = 0;

 private:
  std::string start_;
  uint64_t length_;
};

// Outlines of 4 GB and a name table that claims as much, in a file of 5 GB:
// judged by its directory and the part of the name table its fields reach.
TEST(FontIdentityTest, AHugeFontIsJudgedByWhatItsNamesReach) {
  std::string font = fakes::MakeFont("Quillo Vast");
  constexpr size_t kName = 12 + 16 * 5 + 12, kGlyf = 12 + 16 * 7 + 12;  // length fields
  ASSERT_EQ(font.substr(kName - 12, 4), "name");
  ASSERT_EQ(font.substr(kGlyf - 12, 4), "glyf");
  font.replace(kName, 4, fakes::BeU32(0xFFFFFF00));
  font.replace(kGlyf, 4, fakes::BeU32(0xFFFFFF00));
  CountingFile file(font, 5'000'000'000);
  FontIdentity id;
  ASSERT_EQ(ReadFontIdentity(file, &id), FontProblem::kNone);
  EXPECT_EQ(id.ValueName(), "Quillo Vast (TrueType)");
  EXPECT_LT(file.bytesRead, 800'000u);
}

TEST(FontIdentityTest, FallbacksAndProblems) {
  using fakes::FontWithNames;
  using fakes::MakeCollection;
  using fakes::MakeFont;
  const std::u16string longName(kMaxValueNameChars - 11, u'n');
  const std::string font = MakeFont("Alpha Bold", "Alpha", "Bold");
  std::string badMagic = font, tableOutside = font, hugeNameCount = font;
  badMagic.replace(badMagic.find("\x5F\x0F\x3C\xF5"), 4, "\0\0\0\0");
  tableOutside.replace(12 + 16 + 12, 4, fakes::BeU32(0x10000));  // the head table's length
  hugeNameCount.replace(
      hugeNameCount.find(fakes::NameTable({{1, "Alpha"}}).substr(0, 2) + fakes::BeU16(3)) + 2, 2,
      fakes::BeU16(0xFFFF));
  std::string noGlyphs = fakes::Sfnt(0x00010000, {{"name", fakes::NameTable({{4, "N"}})}});
  // A colour font of bitmaps: every table a font needs but the outlines.
  auto without = [&](const char* tag, const char* instead) {
    std::string bytes = font;
    bytes.replace(bytes.find(tag), 4, instead);
    return bytes;
  };
  const std::string glyfOnly = without("loca", "CBLC");
  const std::string bitmapsOnly = [&] {
    std::string bytes = glyfOnly;
    return bytes.replace(bytes.find("glyf"), 4, "CBDT");
  }();
  const struct {
    const char* what;
    std::string bytes;
    FontProblem problem;
    std::string value;
  } cases[] = {
      {"full name", font, FontProblem::kNone, "Alpha Bold (TrueType)"},
      {"'true' header", "true" + font.substr(4), FontProblem::kNone, "Alpha Bold (TrueType)"},
      {"CFF outlines", MakeFont("Alpha-Bold", "Alpha", "Bold", true), FontProblem::kNone,
       "Alpha-Bold (OpenType)"},
      // As the record holds it: the system's own installer keeps the blanks.
      {"blanks kept", MakeFont("Noto Sans Thai Condensed SemiBold "), FontProblem::kNone,
       "Noto Sans Thai Condensed SemiBold  (TrueType)"},
      {"only a Korean name", FontWithNames(NameTableOf({Win(u"\uC740 \uBC14\uD0D5", 0x0412, 4)})),
       FontProblem::kNone, "\xEC\x9D\x80 \xEB\xB0\x94\xED\x83\x95 (TrueType)"},
      {"a Mac name beyond ASCII", FontWithNames(NameTableOf({{1, 0, 0, 4, "Caf\x8E"}})),
       FontProblem::kNone, "Caf\xC3\xA9 (TrueType)"},
      {"no full name: family and style", FontWithNames(fakes::NameTable({{1, "Fam"}, {2, "Bold"}})),
       FontProblem::kNone, "Fam Bold (TrueType)"},
      {"no full name, Regular", FontWithNames(fakes::NameTable({{1, "Fam"}, {2, "Regular"}})),
       FontProblem::kNone, "Fam (TrueType)"},
      {"blank full name, no style", FontWithNames(fakes::NameTable({{4, "  "}, {1, "Fam"}})),
       FontProblem::kNone, "Fam (TrueType)"},
      {"only a Mac record", FontWithNames(NameTableOf({{1, 0, 0, 4, "Mac Full"}})),
       FontProblem::kNone, "Mac Full (TrueType)"},
      {"Windows US English first",
       FontWithNames(
           NameTableOf({Win(u"De", 0x0407, 4), {1, 0, 0, 4, "Mac"}, Win(u"Us", 0x0409, 4)})),
       FontProblem::kNone, "Us (TrueType)"},
      {"longest name", FontWithNames(NameTableOf({Win(longName, 0x0409, 4)})), FontProblem::kNone,
       std::string(longName.size(), 'n') + " (TrueType)"},
      {"name past the registry's limit",
       FontWithNames(NameTableOf({Win(longName + u"n", 0x409, 4)})), FontProblem::kNameTooLong, ""},
      {"no names", FontWithNames(fakes::NameTable({{2, "Bold"}})), FontProblem::kNoName, ""},
      {"empty name table", FontWithNames(""), FontProblem::kDamaged, ""},
      {"65535 name records", hugeNameCount, FontProblem::kDamaged, ""},
      {"a table outside the file", tableOutside, FontProblem::kDamaged, ""},
      {"head without its magic", badMagic, FontProblem::kDamaged, ""},
      {"only a name table", noGlyphs, FontProblem::kDamaged, ""},
      {"bitmaps only", bitmapsOnly, FontProblem::kNoOutlines, ""},
      {"glyf without loca", glyfOnly, FontProblem::kDamaged, ""},
      {"TrueType header, CFF tables",
       fakes::BeU32(0x00010000) + MakeFont("X", "", "", true).substr(4), FontProblem::kDamaged, ""},
      {"WOFF", "wOFF" + font.substr(4), FontProblem::kNotAFont, ""},
      {"empty file", "", FontProblem::kNotAFont, ""},
      {"collection of one", MakeCollection({font}), FontProblem::kNone, "Alpha Bold (TrueType)"},
      {"collection of CFF fonts",
       MakeCollection({MakeFont("A-R", "A", "R", true), MakeFont("A-B", "A", "B", true)}),
       FontProblem::kNone, "A-R & A-B (TrueType)"},
      {"collection of none", MakeCollection({}), FontProblem::kDamaged, ""},
      {"collection offset past the end",
       MakeCollection({font}).replace(12, 4, fakes::BeU32(1u << 30)), FontProblem::kDamaged, ""},
      {"collection count past the end", MakeCollection({font}).replace(8, 4, fakes::BeU32(~0u)),
       FontProblem::kDamaged, ""},
      {"collection in a collection", MakeCollection({MakeCollection({font})}),
       FontProblem::kDamaged, ""},
      {"collection past the registry's limit",
       MakeCollection(std::vector<std::string>(
           3, FontWithNames(NameTableOf({Win(std::u16string(6000, u'c'), 0x409, 4)})))),
       FontProblem::kNameTooLong, ""},
  };
  for (const auto& c : cases) {
    FontIdentity id{FontKind::kUnknown, "unset", "unset", "unset"};
    const std::vector<char> exact(c.bytes.begin(), c.bytes.end());  // ASan sees the true end
    EXPECT_EQ(ReadFontIdentity({exact.data(), exact.size()}, &id), c.problem) << c.what;
    EXPECT_EQ(id.fullName == "unset" ? "" : id.ValueName(), c.value) << c.what;
  }
  ExpectEveryTruncationEmpty(font, true);
  ExpectEveryTruncationEmpty(MakeCollection({font, MakeFont("B")}), true);
}

}  // namespace
}  // namespace sorvela
