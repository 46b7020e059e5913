// Reads names straight from the sfnt `name` table. The face name is rendered
// as the system's font resource file would: in the ANSI code page, at most
// LF_FACESIZE - 1 characters; the full names in UTF-8, as the records hold
// them. Only the directories, the head table's magic and the name table are
// read, each checked against the file's real length first; a damaged font,
// or one with no usable record, gives no name.
#include "fonts/face_name.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "base/code_page.h"
#include "base/text.h"
#include "package/memory_file.h"

namespace sorvela {
namespace {

constexpr size_t kMaxFaceChars = 31;  // LF_FACESIZE - 1
constexpr uint16_t kFamilyNameId = 1, kSubfamilyNameId = 2, kFullNameId = 4, kVersionId = 5;
// Enough for any version string a question shows.
constexpr size_t kMaxVersionChars = 64;
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
// clang-format off: eight to a row, as the code points run
constexpr uint16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x2126, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};
// clang-format on

// At most maxChars code units, stopping at a NUL because the resource
// file's reader would stop there too.
std::u16string FromUtf16Be(std::string_view s, size_t maxChars) {
  std::u16string text;
  for (size_t i = 0; i + 1 < s.size() && text.size() < maxChars; i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(s[i]) << 8 |
                                            static_cast<unsigned char>(s[i + 1]));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

std::u16string FromMacRoman(std::string_view s, size_t maxChars) {
  std::u16string text;
  for (size_t i = 0; i < s.size() && text.size() < maxChars; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0) break;
    text.push_back(c < 0x80 ? c : kMacRomanHigh[c - 0x80]);
  }
  return text;
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
  enum : unsigned {
    kCmap = 1,
    kHead = 2,
    kHhea = 4,
    kHmtx = 8,
    kMaxp = 16,
    kName = 32,
    kGlyf = 64,
    kLoca = 128,
    kCff = 256
  };
  struct Span {
    uint32_t offset = 0, length = 0;
  };
  uint32_t version = 0;
  unsigned present = 0;
  Span name, head;
};

// The parts of a font file that the checks look at, read when they are
// needed. A read that fails is kept, so that a file the system can't read is
// not taken for a damaged font.
class FontFile {
 public:
  explicit FontFile(ReadFile& file) : file_(file), length_(file.Length()) {}

  uint64_t size() const { return length_; }
  const Error& error() const { return error_; }

  // The n bytes at `at`, or false when they don't lie inside the file.
  bool Read(uint64_t at, uint64_t n, std::string* out) {
    if (at > length_ || n > length_ - at) return false;
    out->resize(static_cast<size_t>(n));
    Error e = file_.ReadAt(at, out->data(), out->size());
    if (!e) return true;
    if (!error_) error_ = std::move(e);
    return false;
  }
  bool U32(uint64_t at, uint32_t* value) {
    std::string bytes;
    return Read(at, 4, &bytes) && Reader(bytes).U32(0, value);
  }

 private:
  ReadFile& file_;
  uint64_t length_;
  Error error_;
};

// Reads the table directory at `directory`, checking that every table lies
// inside the file: a table running past the end marks a truncated or damaged
// file, however intact the others may be. CFF fonts pass only where cff is
// true: font resource files are made for TrueType fonts alone.
bool ReadDirectory(FontFile& font, uint64_t directory, bool cff, Tables* tables) {
  std::string header, records;
  uint16_t numTables;
  if (!font.Read(directory, 6, &header) || !Reader(header).U32(0, &tables->version) ||
      !Reader(header).U16(4, &numTables))
    return false;
  const uint32_t version = tables->version;
  if (version != kTagTrueType && version != kTagTrue && !(cff && version == kTagOtto)) return false;
  // At most 16 x 65535 bytes.
  if (!font.Read(directory + 12, 16 * uint64_t{numTables}, &records)) return false;

  static constexpr struct {
    uint32_t tag;
    unsigned bit;
  } kKnown[] = {{Tag("cmap"), Tables::kCmap}, {Tag("head"), Tables::kHead},
                {Tag("hhea"), Tables::kHhea}, {Tag("hmtx"), Tables::kHmtx},
                {Tag("maxp"), Tables::kMaxp}, {Tag("name"), Tables::kName},
                {Tag("glyf"), Tables::kGlyf}, {Tag("loca"), Tables::kLoca},
                {Tag("CFF "), Tables::kCff},  {Tag("CFF2"), Tables::kCff}};
  const Reader directoryRecords(records);
  for (size_t i = 0; i < numTables; ++i) {
    const size_t record = 16 * i;
    uint32_t tag, offset, length;
    if (!directoryRecords.U32(record, &tag) || !directoryRecords.U32(record + 8, &offset) ||
        !directoryRecords.U32(record + 12, &length) || offset > font.size() ||
        length > font.size() - offset)
      return false;
    for (const auto& known : kKnown) {
      if (known.tag != tag || (tables->present & known.bit)) continue;
      tables->present |= known.bit;
      if (known.bit == Tables::kName) tables->name = {offset, length};
      if (known.bit == Tables::kHead) tables->head = {offset, length};
    }
  }
  return true;
}

// The most of a name table that its 16-bit counts and offsets can reach: 65535
// records (the strings lie within 3 x 65535 bytes of its start). A longer
// table, as a hostile file may claim one of 4 GB, is read this far only,
// which gives the same answers as reading it whole.
constexpr uint32_t kNameReach = 6 + 12 * 65535;  // 786,426 bytes

bool ReadNameTable(FontFile& font, const Tables& tables, std::string* names) {
  return font.Read(tables.name.offset, std::min(tables.name.length, kNameReach), names);
}

// The best record of one name ID, or "" when there is none. False when the
// table itself is damaged.
bool ReadName(std::string_view nameBytes, uint16_t wantedId, size_t maxChars, std::u16string* out) {
  out->clear();
  const Reader name(nameBytes);
  uint16_t format, count, storageOffset;
  if (!name.U16(0, &format) || !name.U16(2, &count) || !name.U16(4, &storageOffset)) return false;
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
    *out = bestIsMac ? FromMacRoman(bestText, maxChars) : FromUtf16Be(bestText, maxChars);
  return true;
}

bool ReadUtf8Name(std::string_view nameBytes, uint16_t wantedId, size_t maxChars,
                  std::string* out) {
  std::u16string text;
  if (!ReadName(nameBytes, wantedId, maxChars, &text)) return false;
  *out = Utf8FromUtf16(text);
  return true;
}

// One past the longest value name, so that a name too long is seen as such
// without converting all of a hostile record.
constexpr size_t kNameLimit = kMaxValueNameChars + 1;

// The checks and the full name of the one font whose directory is at `directory`.
// For a TrueType font also the family name an install that named values by
// family gave it.
FontProblem ReadOneFont(FontFile& font, uint64_t directory, std::string* fullName,
                        std::string* face = nullptr, std::string* version = nullptr) {
  Tables tables;
  if (!ReadDirectory(font, directory, true, &tables)) return FontProblem::kDamaged;
  // What every font needs to be drawn at all; the system's parser is not
  // handed a file that lacks it. A font of bitmaps alone is sound, but the
  // system installs none.
  const bool cff = tables.version == kTagOtto;
  const unsigned outlines = cff ? unsigned{Tables::kCff} : Tables::kGlyf | Tables::kLoca;
  const unsigned needed =
      Tables::kCmap | Tables::kHead | Tables::kHhea | Tables::kHmtx | Tables::kMaxp | Tables::kName;
  uint32_t magic;
  if ((tables.present & needed) != needed || tables.head.length < 16 ||
      !font.U32(uint64_t{tables.head.offset} + 12, &magic) || magic != 0x5F0F3CF5)
    return FontProblem::kDamaged;
  constexpr unsigned kAnyOutlines = Tables::kGlyf | Tables::kLoca | Tables::kCff;
  if ((tables.present & outlines) != outlines)
    return tables.present & kAnyOutlines ? FontProblem::kDamaged : FontProblem::kNoOutlines;

  std::string names;
  if (!ReadNameTable(font, tables, &names)) return FontProblem::kDamaged;
  // As the record holds it, blanks and all: the system registers it so.
  std::string full;
  if (!ReadUtf8Name(names, kFullNameId, kNameLimit, &full)) return FontProblem::kDamaged;
  if (Trim(full).empty()) {
    // The conventional full name: the family, and the style unless Regular.
    std::string family, style;
    if (!ReadUtf8Name(names, kFamilyNameId, kNameLimit, &family) ||
        !ReadUtf8Name(names, kSubfamilyNameId, kNameLimit, &style))
      return FontProblem::kDamaged;
    family = Trim(family);
    style = Trim(style);
    if (family.empty()) return FontProblem::kNoName;
    full = style.empty() || style == "Regular" ? family : family + " " + style;
  }
  *fullName = std::move(full);
  if (face && !cff && ReadUtf8Name(names, kFamilyNameId, kMaxFaceChars, face)) *face = Trim(*face);
  if (version && ReadUtf8Name(names, kVersionId, kMaxVersionChars, version))
    *version = Trim(*version);
  return FontProblem::kNone;
}

}  // namespace

std::string ReadFaceName(std::string_view fontBytes) {
  MemoryFile file(fontBytes);
  FontFile font(file);
  Tables tables;
  std::string names;
  std::u16string face;
  if (!ReadDirectory(font, 0, false, &tables) || !(tables.present & Tables::kName) ||
      !ReadNameTable(font, tables, &names) || !ReadName(names, kFamilyNameId, kMaxFaceChars, &face))
    return "";
  return AnsiFromUtf16(face);
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

namespace {

FontProblem ReadIdentity(FontFile& font, FontIdentity* identity) {
  FontIdentity found;
  std::string start;
  if (font.Read(0, 4, &start)) found.kind = FontKindOf(start);
  if (found.kind == FontKind::kUnknown) return FontProblem::kNotAFont;
  if (found.kind != FontKind::kCollection) {
    if (FontProblem p = ReadOneFont(font, 0, &found.fullName, &found.family, &found.version);
        p != FontProblem::kNone)
      return p;
  } else {
    // Each font's directory is read as its turn comes: the names reach the
    // registry's limit long before a hostile count is used up.
    uint32_t numFonts;
    if (!font.U32(8, &numFonts) || numFonts == 0 ||
        12 + 4 * static_cast<uint64_t>(numFonts) > font.size())
      return FontProblem::kDamaged;
    size_t units = 0;
    for (uint32_t i = 0; i < numFonts; ++i) {
      uint32_t directory;
      std::string name;
      if (!font.U32(12 + 4 * uint64_t{i}, &directory)) return FontProblem::kDamaged;
      if (FontProblem p =
              ReadOneFont(font, directory, &name, nullptr, i ? nullptr : &found.version);
          p != FontProblem::kNone)
        return p;
      found.fullName += (i ? " & " : "") + name;
      units += Utf16FromUtf8(name).size() + (i ? 3 : 0);
      if (units > kMaxValueNameChars) return FontProblem::kNameTooLong;
    }
  }
  if (Utf16FromUtf8(found.ValueName()).size() > kMaxValueNameChars)
    return FontProblem::kNameTooLong;
  *identity = std::move(found);
  return FontProblem::kNone;
}

}  // namespace

FontProblem ReadFontIdentity(ReadFile& fontFile, FontIdentity* identity, Error* readError) {
  FontFile font(fontFile);
  const FontProblem problem = ReadIdentity(font, identity);
  if (!font.error()) return problem;
  if (readError) *readError = font.error();
  return FontProblem::kDamaged;
}

FontProblem ReadFontIdentity(std::string_view fontBytes, FontIdentity* identity) {
  MemoryFile file(fontBytes);
  return ReadFontIdentity(file, identity);
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
    case FontProblem::kNoOutlines:
      return "it has no outlines";
  }
  return "";
}

}  // namespace sorvela
