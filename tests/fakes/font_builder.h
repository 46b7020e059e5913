// Small fonts made in memory: a table directory with the tables every font
// needs (nearly empty) and a name table of Windows US English records, and
// collections of such fonts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sorvela::fakes {

inline std::string BeU16(uint32_t v) { return {char(v >> 8 & 0xFF), char(v & 0xFF)}; }
inline std::string BeU32(uint32_t v) { return BeU16(v >> 16) + BeU16(v & 0xFFFF); }

// A name table from (name ID, ASCII text) pairs, as Windows Unicode records.
inline std::string NameTable(const std::vector<std::pair<uint16_t, std::string>>& names) {
  std::string storage, table = BeU16(0) + BeU16(names.size()) + BeU16(6 + 12 * names.size());
  for (const auto& [id, text] : names) {
    std::string utf16;
    for (char c : text) utf16 += BeU16(static_cast<unsigned char>(c));
    table += BeU16(3) + BeU16(1) + BeU16(0x0409) + BeU16(id) + BeU16(utf16.size()) +
             BeU16(storage.size());
    storage += utf16;
  }
  return table + storage;
}

// A font with the given tables; tags are four characters.
inline std::string Sfnt(uint32_t version, std::vector<std::pair<std::string, std::string>> tables) {
  std::string directory = BeU32(version) + BeU16(tables.size()) + BeU16(0) + BeU16(0) + BeU16(0);
  std::string data;
  const size_t start = 12 + 16 * tables.size();
  for (const auto& [tag, bytes] : tables) {
    directory += tag + BeU32(0) + BeU32(start + data.size()) + BeU32(bytes.size());
    data += bytes;
    data.resize((data.size() + 3) & ~size_t{3}, '\0');
  }
  return directory + data;
}

// The tables a font needs, around the given name table.
inline std::string FontWithNames(std::string nameTable, bool cff = false) {
  std::string head(54, '\0');
  head.replace(12, 4, BeU32(0x5F0F3CF5));
  std::vector<std::pair<std::string, std::string>> tables = {
      {"cmap", std::string(4, '\0')},     {"head", head},
      {"hhea", std::string(36, '\0')},    {"hmtx", std::string(4, '\0')},
      {"maxp", BeU32(0x5000) + BeU16(1)}, {"name", std::move(nameTable)},
      {"post", std::string(32, '\0')}};
  if (cff) {
    tables.push_back({"CFF ", std::string(4, '\0')});
  } else {
    tables.push_back({"glyf", std::string(4, '\0')});
    tables.push_back({"loca", std::string(4, '\0')});
  }
  return Sfnt(cff ? 0x4F54544F : 0x00010000, std::move(tables));
}

// A font of that full name; its family is the full name unless given.
inline std::string MakeFont(const std::string& fullName, const std::string& family = "",
                            const std::string& style = "Regular", bool cff = false) {
  return FontWithNames(
      NameTable({{1, family.empty() ? fullName : family}, {2, style}, {4, fullName}}), cff);
}

// A collection holding the given fonts; each font's table offsets are moved
// to count from the start of the collection.
inline std::string MakeCollection(const std::vector<std::string>& fonts) {
  std::string header = BeU32(0x74746366) + BeU32(0x00010000) + BeU32(fonts.size());
  size_t at = 12 + 4 * fonts.size();
  std::string body;
  for (const std::string& font : fonts) {
    header += BeU32(at + body.size());
    std::string moved = font;
    const size_t base = at + body.size();
    const size_t numTables =
        static_cast<unsigned char>(font[4]) << 8 | static_cast<unsigned char>(font[5]);
    for (size_t i = 0; i < numTables; ++i) {
      const size_t field = 12 + 16 * i + 8;
      uint32_t offset = 0;
      for (int b = 0; b < 4; ++b)
        offset = offset << 8 | static_cast<unsigned char>(font[field + b]);
      moved.replace(field, 4, BeU32(offset + base));
    }
    body += moved;
  }
  return header + body;
}

}  // namespace sorvela::fakes
