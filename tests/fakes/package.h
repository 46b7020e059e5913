// Builds package files for tests: a fake stub with entries appended.
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
  trailer::AppendEnd(&bytes, static_cast<int64_t>(entries.size()), pad);
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

}  // namespace sorvela::fakes
