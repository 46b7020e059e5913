// Reads names straight from the sfnt `name` table. The face name is rendered
// as the system's font resource file would: Windows-1252, at most
// LF_FACESIZE - 1 characters. Every read is bounds-checked against the bytes
// actually given; a damaged font, or one with no usable record, gives no name.
#include "fonts/face_name.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "shell/text.h"

namespace sorvela {
namespace {

constexpr size_t kMaxFaceChars = 31;  // LF_FACESIZE - 1
constexpr uint16_t kFamilyNameId = 1, kSubfamilyNameId = 2, kFullNameId = 4;
constexpr uint32_t kTagTrueType = 0x00010000, kTagTrue = 0x74727565 /* 'true' */,
                   kTagOtto = 0x4F54544F /* 'OTTO' */, kTagCollection = 0x74746366 /* 'ttcf' */;
constexpr uint32_t Tag(const char (&t)[5]) {
  return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 |
         uint32_t(uint8_t(t[2])) << 8 | uint8_t(t[3]);
}
constexpr uint16_t kPlatformUnicode = 0, kPlatformMac = 1, kPlatformWindows = 3;
constexpr uint16_t kEncodingMacRoman = 0;
constexpr uint16_t kEncodingSymbol = 0, kEncodingUnicodeBmp = 1;
constexpr uint16_t kLangEnglishUs = 0x0409, kLangMacEnglish = 0;

// Reads through a window of the input; out-of-range reads report failure
// instead of touching memory, so callers can chain them freely.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  size_t size() const { return bytes_.size(); }

  bool U16(size_t at, uint16_t* out) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) return false;
    *out = static_cast<uint16_t>(Byte(at) << 8 | Byte(at + 1));
    return true;
  }
  bool U32(size_t at, uint32_t* out) const {
    uint16_t hi, lo;
    if (!U16(at, &hi) || !U16(at + 2, &lo)) return false;
    *out = static_cast<uint32_t>(hi) << 16 | lo;
    return true;
  }
  // A sub-window [at, at + length), or false when it does not fit.
  bool Slice(uint64_t at, uint64_t length, std::string_view* out) const {
    if (at > bytes_.size() || length > bytes_.size() - at) return false;
    *out = bytes_.substr(static_cast<size_t>(at), static_cast<size_t>(length));
    return true;
  }

 private:
  unsigned Byte(size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
  std::string_view bytes_;
};

// Mac OS Roman 0x80..0xFF as Unicode, as the system's code page 10000 has it
// (0xBD the ohm sign, 0xDB the euro sign).
constexpr uint16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x2126, 0x00E6, 0x00F8,
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// Windows-1252 0x80..0x9F as Unicode; the five unassigned bytes round-trip
// to the matching C1 controls, as the system's tables do.
constexpr uint16_t kCp1252C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The system's ANSI conversion does not give '?' for everything outside
// Windows-1252: it substitutes a look-alike where it has one (U+0141 'L',
// U+FF21 'A'). These are its best-fit pairs, (code point << 8) | byte, sorted.
constexpr uint32_t kBestFit[] = {
    0x010041, 0x010161, 0x010241, 0x010361, 0x010441, 0x010561, 0x010643, 0x010763, 0x010843,
    0x010963, 0x010A43, 0x010B63, 0x010C43, 0x010D63, 0x010E44, 0x010F64, 0x0110D0, 0x011164,
    0x011245, 0x011365, 0x011445, 0x011565, 0x011645, 0x011765, 0x011845, 0x011965, 0x011A45,
    0x011B65, 0x011C47, 0x011D67, 0x011E47, 0x011F67, 0x012047, 0x012167, 0x012247, 0x012367,
    0x012448, 0x012568, 0x012648, 0x012768, 0x012849, 0x012969, 0x012A49, 0x012B69, 0x012C49,
    0x012D69, 0x012E49, 0x012F69, 0x013049, 0x013169, 0x01344A, 0x01356A, 0x01364B, 0x01376B,
    0x01394C, 0x013A6C, 0x013B4C, 0x013C6C, 0x013D4C, 0x013E6C, 0x01414C, 0x01426C, 0x01434E,
    0x01446E, 0x01454E, 0x01466E, 0x01474E, 0x01486E, 0x014C4F, 0x014D6F, 0x014E4F, 0x014F6F,
    0x01504F, 0x01516F, 0x015452, 0x015572, 0x015652, 0x015772, 0x015852, 0x015972, 0x015A53,
    0x015B73, 0x015C53, 0x015D73, 0x015E53, 0x015F73, 0x016254, 0x016374, 0x016454, 0x016574,
    0x016654, 0x016774, 0x016855, 0x016975, 0x016A55, 0x016B75, 0x016C55, 0x016D75, 0x016E55,
    0x016F75, 0x017055, 0x017175, 0x017255, 0x017375, 0x017457, 0x017577, 0x017659, 0x017779,
    0x01795A, 0x017A7A, 0x017B5A, 0x017C7A, 0x018062, 0x0189D0, 0x019183, 0x019749, 0x019A6C,
    0x019F4F, 0x01A04F, 0x01A16F, 0x01AB74, 0x01AE54, 0x01AF55, 0x01B075, 0x01B67A, 0x01C07C,
    0x01C321, 0x01CD41, 0x01CE61, 0x01CF49, 0x01D069, 0x01D14F, 0x01D26F, 0x01D355, 0x01D475,
    0x01D555, 0x01D675, 0x01D755, 0x01D875, 0x01D955, 0x01DA75, 0x01DB55, 0x01DC75, 0x01DE41,
    0x01DF61, 0x01E447, 0x01E567, 0x01E647, 0x01E767, 0x01E84B, 0x01E96B, 0x01EA4F, 0x01EB6F,
    0x01EC4F, 0x01ED6F, 0x01F06A, 0x026167, 0x02B927, 0x02BA22, 0x02BC27, 0x02C45E, 0x02C827,
    0x02C9AF, 0x02CAB4, 0x02CB60, 0x02CD5F, 0x02DAB0, 0x030060, 0x0301B4, 0x03025E, 0x03037E,
    0x0304AF, 0x0305AF, 0x0308A8, 0x030AB0, 0x030E22, 0x0327B8, 0x03315F, 0x03325F, 0x037E3B,
    0x039347, 0x039854, 0x03A353, 0x03A646, 0x03A94F, 0x03B161, 0x03B2DF, 0x03B464, 0x03B565,
    0x03BCB5, 0x03C070, 0x03C373, 0x03C474, 0x03C666, 0x04BB68, 0x05893A, 0x066A25, 0x200020,
    0x200120, 0x200220, 0x200320, 0x200420, 0x200520, 0x200620, 0x20102D, 0x20112D, 0x20173D,
    0x2024B7, 0x203227, 0x203560, 0x20442F, 0x2070B0, 0x207434, 0x207535, 0x207636, 0x207737,
    0x207838, 0x207F6E, 0x208030, 0x208131, 0x208232, 0x208333, 0x208434, 0x208535, 0x208636,
    0x208737, 0x208838, 0x208939, 0x20A1A2, 0x20A4A3, 0x20A750, 0x210243, 0x210745, 0x210A67,
    0x210B48, 0x210C48, 0x210D48, 0x210E68, 0x211049, 0x211149, 0x21124C, 0x21136C, 0x21154E,
    0x211850, 0x211950, 0x211A51, 0x211B52, 0x211C52, 0x211D52, 0x21245A, 0x21285A, 0x212A4B,
    0x212BC5, 0x212C42, 0x212D43, 0x212E65, 0x212F65, 0x213045, 0x213146, 0x21334D, 0x21346F,
    0x2205D8, 0x22122D, 0x2213B1, 0x22152F, 0x22165C, 0x22172A, 0x2218B0, 0x2219B7, 0x221A76,
    0x221E38, 0x22237C, 0x22296E, 0x22363A, 0x223C7E, 0x224898, 0x22613D, 0x22643D, 0x22653D,
    0x226AAB, 0x226BBB, 0x22C5B7, 0x2302A6, 0x23035E, 0x2310AC, 0x232028, 0x232129, 0x23293C,
    0x232A3E, 0x25002D, 0x2502A6, 0x250C2B, 0x25102B, 0x25142B, 0x25182B, 0x251C2B, 0x2524A6,
    0x252C2D, 0x25342D, 0x253C2B, 0x25502D, 0x2551A6, 0x25522B, 0x25532B, 0x25542B, 0x25552B,
    0x25562B, 0x25572B, 0x25582B, 0x25592B, 0x255A2B, 0x255B2B, 0x255C2B, 0x255D2B, 0x255EA6,
    0x255FA6, 0x2560A6, 0x2561A6, 0x2562A6, 0x2563A6, 0x25642D, 0x25652D, 0x25662D, 0x25672D,
    0x25682D, 0x25692D, 0x256A2B, 0x256B2B, 0x256C2B, 0x2580AF, 0x25845F, 0x2588A6, 0x258CA6,
    0x2590A6, 0x2591A6, 0x2592A6, 0x2593A6, 0x25A0A6, 0x263CA4, 0x27587C, 0x300020, 0x30083C,
    0x30093E, 0x300AAB, 0x300BBB, 0x301A5B, 0x301B5D, 0x30FBB7, 0xFF0121, 0xFF0222, 0xFF0323,
    0xFF0424, 0xFF0525, 0xFF0626, 0xFF0727, 0xFF0828, 0xFF0929, 0xFF0A2A, 0xFF0B2B, 0xFF0C2C,
    0xFF0D2D, 0xFF0E2E, 0xFF0F2F, 0xFF1030, 0xFF1131, 0xFF1232, 0xFF1333, 0xFF1434, 0xFF1535,
    0xFF1636, 0xFF1737, 0xFF1838, 0xFF1939, 0xFF1A3A, 0xFF1B3B, 0xFF1C3C, 0xFF1D3D, 0xFF1E3E,
    0xFF2040, 0xFF2141, 0xFF2242, 0xFF2343, 0xFF2444, 0xFF2545, 0xFF2646, 0xFF2747, 0xFF2848,
    0xFF2949, 0xFF2A4A, 0xFF2B4B, 0xFF2C4C, 0xFF2D4D, 0xFF2E4E, 0xFF2F4F, 0xFF3050, 0xFF3151,
    0xFF3252, 0xFF3353, 0xFF3454, 0xFF3555, 0xFF3656, 0xFF3757, 0xFF3858, 0xFF3959, 0xFF3A5A,
    0xFF3B5B, 0xFF3C5C, 0xFF3D5D, 0xFF3E5E, 0xFF3F5F, 0xFF4060, 0xFF4161, 0xFF4262, 0xFF4363,
    0xFF4464, 0xFF4565, 0xFF4666, 0xFF4767, 0xFF4868, 0xFF4969, 0xFF4A6A, 0xFF4B6B, 0xFF4C6C,
    0xFF4D6D, 0xFF4E6E, 0xFF4F6F, 0xFF5070, 0xFF5171, 0xFF5272, 0xFF5373, 0xFF5474, 0xFF5575,
    0xFF5676, 0xFF5777, 0xFF5878, 0xFF5979, 0xFF5A7A, 0xFF5B7B, 0xFF5C7C, 0xFF5D7D, 0xFF5E7E,
};

char ToCp1252(uint16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (size_t i = 0; i < 32; ++i)
    if (kCp1252C1[i] == unit) return static_cast<char>(0x80 + i);
  const uint32_t key = static_cast<uint32_t>(unit) << 8;
  const uint32_t* it = std::lower_bound(std::begin(kBestFit), std::end(kBestFit), key);
  if (it != std::end(kBestFit) && (*it >> 8) == unit) return static_cast<char>(*it & 0xFF);
  return '?';
}

// One output byte per UTF-16 code unit (a surrogate becomes '?'), stopping
// at a NUL because the resource file's reader would stop there too.
std::string Utf16BeToCp1252(std::string_view s, size_t maxChars) {
  std::string out;
  for (size_t i = 0; i + 1 < s.size() && out.size() < maxChars; i += 2) {
    const auto unit = static_cast<uint16_t>(static_cast<unsigned char>(s[i]) << 8 |
                                            static_cast<unsigned char>(s[i + 1]));
    if (unit == 0) break;
    out.push_back(ToCp1252(unit));
  }
  return out;
}

std::string MacRomanToCp1252(std::string_view s, size_t maxChars) {
  std::string out;
  for (size_t i = 0; i < s.size() && out.size() < maxChars; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0) break;
    out.push_back(c < 0x80 ? static_cast<char>(c) : ToCp1252(kMacRomanHigh[c - 0x80]));
  }
  return out;
}

// How well a family-name record suits a US English system; 0 means unusable.
// Language counts first (exact, then any English), then the platform, the
// order in which the system itself weighs them. Unicode-platform and Mac
// records carry Mac language codes, where 0 is English.
int Score(uint16_t platform, uint16_t encoding, uint16_t language) {
  int score;
  bool usEnglish, english;
  if (platform == kPlatformWindows &&
      (encoding == kEncodingUnicodeBmp || encoding == kEncodingSymbol)) {
    score = 5;
    usEnglish = language == kLangEnglishUs;
    english = (language & 0x3FF) == (kLangEnglishUs & 0x3FF);
  } else if (platform == kPlatformUnicode &&  // Unicode 1.0, ISO 10646, 2.0 BMP
             (encoding == 0 || encoding == 2 || encoding == 3)) {
    score = 2;
    usEnglish = english = language == kLangMacEnglish;
  } else if (platform == kPlatformMac && encoding == kEncodingMacRoman) {
    score = 1;
    usEnglish = english = language == kLangMacEnglish;
  } else {
    return 0;
  }
  return score + (usEnglish ? 30 : english ? 20 : 0);
}

// The tables of one font that the readers look at, found in one pass.
struct Tables {
  enum : unsigned { kCmap = 1, kHead = 2, kHhea = 4, kHmtx = 8, kMaxp = 16, kName = 32,
                    kGlyf = 64, kLoca = 128, kCff = 256 };
  uint32_t version = 0;
  unsigned present = 0;
  std::string_view name, head;
};

// Reads the table directory at `directory`, checking that every table lies
// inside the file: a table running past the end marks a truncated or damaged
// file, however intact the others may be. CFF fonts pass only where cff is
// true: font resource files are made for TrueType fonts alone.
bool ReadDirectory(const Reader& font, size_t directory, bool cff, Tables* tables) {
  uint16_t numTables;
  if (!font.U32(directory, &tables->version) || !font.U16(directory + 4, &numTables))
    return false;
  const uint32_t version = tables->version;
  if (version != kTagTrueType && version != kTagTrue && !(cff && version == kTagOtto))
    return false;
  if (directory + 12 + 16 * static_cast<uint64_t>(numTables) > font.size()) return false;

  static constexpr struct {
    uint32_t tag;
    unsigned bit;
  } kKnown[] = {{Tag("cmap"), Tables::kCmap}, {Tag("head"), Tables::kHead},
                {Tag("hhea"), Tables::kHhea}, {Tag("hmtx"), Tables::kHmtx},
                {Tag("maxp"), Tables::kMaxp}, {Tag("name"), Tables::kName},
                {Tag("glyf"), Tables::kGlyf}, {Tag("loca"), Tables::kLoca},
                {Tag("CFF "), Tables::kCff},  {Tag("CFF2"), Tables::kCff}};
  for (size_t i = 0; i < numTables; ++i) {
    const size_t record = directory + 12 + 16 * i;
    uint32_t tag, offset, length;
    std::string_view bytes;
    if (!font.U32(record, &tag) || !font.U32(record + 8, &offset) ||
        !font.U32(record + 12, &length) || !font.Slice(offset, length, &bytes))
      return false;
    for (const auto& known : kKnown) {
      if (known.tag != tag || (tables->present & known.bit)) continue;
      tables->present |= known.bit;
      if (known.bit == Tables::kName) tables->name = bytes;
      if (known.bit == Tables::kHead) tables->head = bytes;
    }
  }
  return true;
}

// The best record of one name ID, converted, or "" when there is none.
// False when the table itself is damaged.
bool ReadName(std::string_view nameBytes, uint16_t wantedId, size_t maxChars, std::string* out) {
  out->clear();
  const Reader name(nameBytes);
  uint16_t format, count, storageOffset;
  if (!name.U16(0, &format) || !name.U16(2, &count) || !name.U16(4, &storageOffset))
    return false;
  if (format > 1) return false;
  if (6 + 12 * static_cast<uint64_t>(count) > name.size() || storageOffset > name.size())
    return false;

  int bestScore = 0;
  bool bestIsMac = false;
  std::string_view bestText;
  for (size_t i = 0; i < count; ++i) {
    const size_t record = 6 + 12 * i;
    uint16_t platform, encoding, language, nameId, length, offset;
    if (!name.U16(record, &platform) || !name.U16(record + 2, &encoding) ||
        !name.U16(record + 4, &language) || !name.U16(record + 6, &nameId) ||
        !name.U16(record + 8, &length) || !name.U16(record + 10, &offset))
      return false;
    if (nameId != wantedId) continue;
    const int score = Score(platform, encoding, language);
    std::string_view text;
    // The system passes over empty records and those that point outside the
    // table; strict '>' keeps the first of equally good ones.
    if (score > bestScore && length > 0 &&
        name.Slice(static_cast<uint64_t>(storageOffset) + offset, length, &text)) {
      bestScore = score;
      bestIsMac = platform == kPlatformMac;
      bestText = text;
    }
  }
  if (bestScore > 0)
    *out = bestIsMac ? MacRomanToCp1252(bestText, maxChars) : Utf16BeToCp1252(bestText, maxChars);
  return true;
}

// One past the longest value name, so that a name too long is seen as such
// without converting all of a hostile record.
constexpr size_t kNameLimit = kMaxValueNameChars + 1;

// The checks and the full name of the one font whose directory is at `directory`.
FontProblem ReadOneFont(const Reader& font, size_t directory, std::string* fullName) {
  Tables tables;
  if (!ReadDirectory(font, directory, true, &tables)) return FontProblem::kDamaged;
  // What every font needs to be drawn at all; the system's parser is not
  // handed a file that lacks it.
  const unsigned outlines = tables.version == kTagOtto ? unsigned{Tables::kCff}
                                                        : Tables::kGlyf | Tables::kLoca;
  const unsigned needed = Tables::kCmap | Tables::kHead | Tables::kHhea | Tables::kHmtx |
                          Tables::kMaxp | Tables::kName | outlines;
  uint32_t magic;
  if ((tables.present & needed) != needed || !Reader(tables.head).U32(12, &magic) ||
      magic != 0x5F0F3CF5)
    return FontProblem::kDamaged;

  const std::string_view names = tables.name;
  std::string full;
  if (!ReadName(names, kFullNameId, kNameLimit, &full)) return FontProblem::kDamaged;
  full = Trim(full);
  if (full.empty()) {
    // The conventional full name: the family, and the style unless Regular.
    std::string family, style;
    if (!ReadName(names, kFamilyNameId, kNameLimit, &family) ||
        !ReadName(names, kSubfamilyNameId, kNameLimit, &style))
      return FontProblem::kDamaged;
    family = Trim(family);
    style = Trim(style);
    if (family.empty()) return FontProblem::kNoName;
    full = style.empty() || style == "Regular" ? family : family + " " + style;
  }
  *fullName = std::move(full);
  return FontProblem::kNone;
}

}  // namespace

std::string ReadFaceName(std::string_view fontBytes) {
  Tables tables;
  if (!ReadDirectory(Reader(fontBytes), 0, false, &tables) || !(tables.present & Tables::kName))
    return "";
  std::string face;
  if (!ReadName(tables.name, kFamilyNameId, kMaxFaceChars, &face)) return "";
  return face;
}

FontKind FontKindOf(std::string_view fontBytes) {
  uint32_t tag;
  if (!Reader(fontBytes).U32(0, &tag)) return FontKind::kUnknown;
  if (tag == kTagTrueType || tag == kTagTrue) return FontKind::kTrueType;
  if (tag == kTagOtto) return FontKind::kCff;
  if (tag == kTagCollection) return FontKind::kCollection;
  return FontKind::kUnknown;
}

std::string FontIdentity::ValueName() const {
  return fullName + (kind == FontKind::kCff ? " (OpenType)" : " (TrueType)");
}

FontProblem ReadFontIdentity(std::string_view fontBytes, FontIdentity* identity) {
  const Reader font(fontBytes);
  FontIdentity found;
  found.kind = FontKindOf(fontBytes);
  if (found.kind == FontKind::kUnknown) return FontProblem::kNotAFont;
  if (found.kind != FontKind::kCollection) {
    if (FontProblem p = ReadOneFont(font, 0, &found.fullName); p != FontProblem::kNone) return p;
    found.family = Trim(ReadFaceName(fontBytes));
  } else {
    uint32_t numFonts;
    if (!font.U32(8, &numFonts) || numFonts == 0 ||
        12 + 4 * static_cast<uint64_t>(numFonts) > font.size())
      return FontProblem::kDamaged;
    for (uint32_t i = 0; i < numFonts; ++i) {
      uint32_t directory;
      std::string name;
      if (!font.U32(12 + 4 * size_t{i}, &directory)) return FontProblem::kDamaged;
      if (FontProblem p = ReadOneFont(font, directory, &name); p != FontProblem::kNone) return p;
      found.fullName += (i ? " & " : "") + name;
      if (found.fullName.size() > kMaxValueNameChars) return FontProblem::kNameTooLong;
    }
  }
  if (found.ValueName().size() > kMaxValueNameChars) return FontProblem::kNameTooLong;
  *identity = std::move(found);
  return FontProblem::kNone;
}

std::string DescribeFontProblem(FontProblem problem) {
  switch (problem) {
    case FontProblem::kNone:
      return "";
    case FontProblem::kNotAFont:
      return "it is not a TrueType or OpenType font";
    case FontProblem::kDamaged:
      return "the font is damaged";
    case FontProblem::kNoName:
      return "the font has no name";
    case FontProblem::kNameTooLong:
      return "its name is too long for the system";
  }
  return "";
}

}  // namespace sorvela
