// Builds package files for tests: a fake stub with entries appended, and
// signed as a signer signs a PE file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "package/trailer.h"

namespace sorvela::fakes {

struct TestEntry {
  std::string name;
  std::string data;
};

// Entries in the order they are appended; the last one becomes entry 1.
inline std::string MakePackage(const std::vector<TestEntry>& entries, char pad = '\0',
                               const std::string& stub = std::string(1000, 'M')) {
  std::string bytes = stub;
  for (const TestEntry& e : entries) trailer::AppendEntry(&bytes, e.name, e.data, pad);
  trailer::AppendEnd(&bytes, static_cast<int32_t>(entries.size()), pad);
  return bytes;
}

inline std::string Manifest(const std::string& readme = "NOREADME",
                            const std::string& license = "NOLICENSE",
                            const std::string& title = "Sample Fonts",
                            const std::string& url = "http://fonts.example/",
                            const std::string& urlTitle = "Sample Fonts Home") {
  return "\"KESTREL DATAFILE 1\"\r\n\"" + readme + "\"\r\n\"" + license + "\"\r\n\"" + title +
         "\"\r\n\"" + url + "\"\r\n\"" + urlTitle + "\"\r\n";
}

inline void Put(std::string* bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

// The headers of a PE file with one section: DOS header, "PE\0\0" at 0x80,
// the file header, and an optional header of the given magic.
inline std::string PeHeaders(uint32_t magic = 0x10b) {
  std::string bytes(0x200, '\0');
  bytes[0] = 'M', bytes[1] = 'Z';
  Put(&bytes, 0x3C, 0x80, 4);
  bytes.replace(0x80, 4, std::string("PE\0\0", 4));
  Put(&bytes, 0x86, 1, 2);                           // sections
  Put(&bytes, 0x94, magic == 0x10b ? 224 : 240, 2);  // optional header size
  Put(&bytes, 0x98, magic, 2);
  Put(&bytes, 0x98 + (magic == 0x10b ? 92 : 108), 16, 4);  // directories
  return bytes;
}

inline size_t SecurityEntry(const std::string& bytes) {
  return 0x98 + (bytes[0x98 + 1] == 2 ? 112 : 96) + 4 * 8;
}

// Signs as a signer does: zeros to a multiple of 8, then the table, named by
// the security directory.
inline std::string Sign(std::string bytes) {
  bytes.append((8 - bytes.size() % 8) % 8, '\0');
  const std::string table = std::string("\x28\0\0\0\0\x02\x02\0", 8) + std::string(32, '\x30');
  Put(&bytes, SecurityEntry(bytes), static_cast<uint32_t>(bytes.size()), 4);
  Put(&bytes, SecurityEntry(bytes) + 4, static_cast<uint32_t>(table.size()), 4);
  return bytes + table;
}

}  // namespace sorvela::fakes
