// The listing walk over arbitrary package bytes, signed or not: whatever it
// accepts must describe entries that lie back to back inside the file, in
// front of any certificate table, with names that stay in the folder they
// are written to and name a file there. No read may reach outside the file.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "fakes/fakes.h"
#include "fuzz/check.h"
#include "package/trailer.h"

using namespace sorvela;

namespace {

// The input as a file; a read outside it stops the run.
class StrictFile final : public ReadFile {
 public:
  explicit StrictFile(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Length() const override { return bytes_.size(); }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    FUZZ_CHECK(offset <= bytes_.size() && n <= bytes_.size() - offset);
    if (n != 0) std::memcpy(buffer, bytes_.data() + offset, n);
    return Error::Ok();
  }

 private:
  std::string_view bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  StrictFile whole(bytes);
  const uint64_t end = trailer::LogicalEnd(whole);
  FUZZ_CHECK(end <= size);
  if (end != size) {
    // Cut short only before a table past the headers that ends the file, and
    // only by zeros that pad to it.
    trailer::SecurityDirectory directory;
    FUZZ_CHECK(trailer::ReadSecurityDirectory(whole, &directory));
    FUZZ_CHECK(directory.size != 0 && uint64_t{directory.offset} + directory.size == size);
    FUZZ_CHECK(directory.offset >= directory.headersEnd && directory.offset >= end);
    FUZZ_CHECK(directory.offset - end < trailer::kTableAlignment);
    FUZZ_CHECK(std::all_of(data + end, data + directory.offset, [](uint8_t b) { return b == 0; }));
  }

  StrictFile file(bytes.substr(0, end));
  int16_t count = 0;
  if (trailer::ReadCount(file, &count)) return 0;
  std::vector<trailer::Entry> entries;
  if (trailer::ReadEntries(file, count, &entries)) return 0;

  FUZZ_CHECK(!entries.empty());
  FUZZ_CHECK(entries.size() <= static_cast<size_t>(count < 1 ? 1 : count));
  // Entry 1 ends at the count field; each next one ends where the one before starts.
  uint64_t at = end - trailer::kTrailerEnd;
  for (const trailer::Entry& entry : entries) {
    FUZZ_CHECK(entry.size <= INT32_MAX);
    FUZZ_CHECK(at >= trailer::kEntryHeader && entry.size <= at - trailer::kEntryHeader);
    FUZZ_CHECK(entry.dataOffset == at - trailer::kEntryHeader - entry.size);
    at = entry.dataOffset;
    FUZZ_CHECK(entry.name.size() <= trailer::kNameField);
    FUZZ_CHECK(entry.name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
    // Written as folder + name, it must stay in that folder: no separator or
    // drive, and no dot that the system would trim, which could make the parent.
    FUZZ_CHECK(entry.name.find_first_of("\\/:") == std::string::npos);
    std::string unpadded = entry.name;
    while (!unpadded.empty() && unpadded.back() == ' ') unpadded.pop_back();
    FUZZ_CHECK(fakes::WinPath(entry.name) == unpadded);
    // Nor a character a file name can't hold, nor a device.
    for (char c : entry.name)
      FUZZ_CHECK(static_cast<unsigned char>(c) >= 32 &&
                 std::string_view("<>\"|?*").find(c) == std::string_view::npos);
    std::string device = unpadded.substr(0, unpadded.find('.'));
    while (!device.empty() && device.back() == ' ') device.pop_back();
    for (char& c : device) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered =
        device.size() == 4 && (device.rfind("COM", 0) == 0 || device.rfind("LPT", 0) == 0) &&
        std::string_view("123456789\xB9\xB2\xB3").find(device[3]) != std::string_view::npos;
    FUZZ_CHECK(!numbered && device != "CON" && device != "PRN" && device != "AUX" &&
               device != "NUL" && device != "CONIN$" && device != "CONOUT$");
    // The builder's size field reads back as the same size.
    uint32_t again = 0;
    FUZZ_CHECK(!trailer::ParseSize(trailer::SizeField(entry.size), &again) && again == entry.size);
  }
  return 0;
}
