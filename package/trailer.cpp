// Field conversions and header reads of the package trailer, and where a
// signed package's trailer ends.
#include "package/trailer.h"

#include "base/file_names.h"
#include "base/text.h"
#include "package/memory_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sorvela::trailer {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\0'; }

Error Damaged(const char* what) {
  return MakeError(ErrorKind::kDamagedPackage, std::string("The package is damaged: ") + what);
}

}  // namespace

Error ParseCount(std::string_view raw, int16_t* count) {
  // Line breaks go first, wherever they stand: "1\r\n2" is 12.
  std::string text;
  for (char c : raw)
    if (c != '\r' && c != '\n') text += c;
  const std::string_view field = text;
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  };
  skipBlanks();
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  double value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
    value = value * 10 + (field[i] - '0');
  if (i < field.size() && field[i] == '.') {
    double scale = 0.1;
    for (++i; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i, scale /= 10)
      value += (field[i] - '0') * scale;
  }
  if (negative) value = -value;
  // Round half to even, as a 16-bit conversion of a decimal number does.
  const double rounded = std::nearbyint(value);
  if (rounded < -32768 || rounded > 32767) return MakeError(ErrorKind::kDamagedPackage, "Overflow");
  *count = static_cast<int16_t>(rounded);
  return Error::Ok();
}

Error ParseSize(std::string_view field, uint32_t* size) {
  size_t i = 0;
  while (i < field.size() && IsBlank(field[i])) ++i;
  const size_t digitsStart = i;
  uint64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = value * 10 + static_cast<uint64_t>(field[i] - '0');
    if (value > UINT32_MAX) return MakeError(ErrorKind::kDamagedPackage, "Overflow");
  }
  if (i == digitsStart) return MakeError(ErrorKind::kDamagedPackage, "Type mismatch");
  while (i < field.size() && IsBlank(field[i])) ++i;
  if (i != field.size()) return MakeError(ErrorKind::kDamagedPackage, "Type mismatch");
  // The data length is a signed 32-bit number.
  if (value > INT32_MAX) return MakeError(ErrorKind::kDamagedPackage, "Overflow");
  *size = static_cast<uint32_t>(value);
  return Error::Ok();
}

std::string NameFromField(std::string_view field) {
  std::string name;
  name.reserve(field.size());
  for (char c : field)
    if (c != '\r' && c != '\n') name += c;
  const size_t nul = name.find('\0');
  if (nul != std::string::npos) name.resize(nul);
  return name;
}

Error ReadCount(ReadFile& file, int16_t* count) {
  const uint64_t length = file.Length();
  if (length < kTrailerEnd) return Damaged("too short");
  char field[kCountField];
  if (Error e = file.ReadAt(length - kTrailerEnd, field, sizeof field)) return e;
  return ParseCount(std::string_view(field, sizeof field), count);
}

Error ReadEntry(ReadFile& file, uint64_t backOffset, Entry* entry) {
  const uint64_t length = file.Length();
  if (length < kTrailerEnd + kEntryHeader || backOffset > length - kTrailerEnd - kEntryHeader)
    return Damaged("an entry header lies before the file");
  const uint64_t headerStart = length - kTrailerEnd - kEntryHeader - backOffset;
  char header[kEntryHeader];
  if (Error e = file.ReadAt(headerStart, header, sizeof header)) return e;
  if (Error e = ParseSize(std::string_view(header + kNameField, kSizeField), &entry->size))
    return e;
  if (entry->size > headerStart) return Damaged("an entry's data lies before the file");
  entry->name = NameFromField(std::string_view(header, kNameField));
  entry->dataOffset = headerStart - entry->size;
  if (!IsSafeName(entry->name)) return Damaged("an entry name is not a plain file name");
  return Error::Ok();
}

Error ReadEntries(ReadFile& file, int16_t count, std::vector<Entry>* entries,
                  bool pastUnsafeNames) {
  uint64_t backOffset = 0;
  for (int32_t k = 1;; ++k) {
    Entry entry;
    if (Error e = ReadEntry(file, backOffset, &entry)) {
      if (!pastUnsafeNames || IsSafeName(entry.name)) return e;
      entry.safe = false;
    }
    backOffset += uint64_t{entry.size} + kEntryHeader;
    entries->push_back(std::move(entry));
    if (k >= count) return Error::Ok();
  }
}

namespace {

uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Whether a trailer ending at end reads: a count of at least one entry and a
// size field in front of it. Used to tell the trailer's own zeros from padding.
bool HoldsEntries(ReadFile& file, uint64_t end) {
  char fields[kSizeField + kCountField];
  if (end < kTrailerEnd + kSizeField ||
      file.ReadAt(end - kTrailerEnd - kSizeField, fields, sizeof fields))
    return false;
  int16_t count = 0;
  uint32_t size = 0;
  return !ParseCount(std::string_view(fields + kSizeField, kCountField), &count) && count >= 1 &&
         !ParseSize(std::string_view(fields, kSizeField), &size);
}

// The package file cut off at its logical end.
class PackageFile final : public ReadFile {
 public:
  explicit PackageFile(std::unique_ptr<ReadFile> file)
      : file_(std::move(file)), end_(LogicalEnd(*file_)) {}
  uint64_t Length() const override { return end_; }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset > end_ || n > end_ - offset)
      return MakeError(ErrorKind::kPastEnd, "Input past end of file");
    return file_->ReadAt(offset, buffer, n);
  }

 private:
  std::unique_ptr<ReadFile> file_;
  uint64_t end_;
};

}  // namespace

bool ReadSecurityDirectory(ReadFile& file, SecurityDirectory* directory) {
  const uint64_t length = file.Length();
  unsigned char dos[64];
  if (length < sizeof dos || file.ReadAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
    return false;
  // "PE\0\0", the file header, and the optional header as far as the
  // security directory of the larger (PE32+) layout.
  const uint64_t pe = Le32(dos + 0x3C);
  unsigned char headers[4 + 20 + 152];
  if (pe > length || length - pe < 4 + 20 + 2) return false;
  const size_t got = static_cast<size_t>(std::min<uint64_t>(sizeof headers, length - pe));
  if (file.ReadAt(pe, headers, got) || std::memcmp(headers, "PE\0\0", 4) != 0) return false;
  const uint32_t sections = Le16(headers + 4 + 2);
  const uint32_t optionalSize = Le16(headers + 4 + 16);
  const unsigned char* optional = headers + 4 + 20;
  const uint32_t magic = Le16(optional);
  const size_t directories = magic == 0x10b ? 96 : magic == 0x20b ? 112 : 0;
  const size_t entry = directories + size_t{4} * 8;  // the fifth directory
  if (directories == 0 || optionalSize < entry + 8 || got < 4 + 20 + entry + 8 ||
      Le32(optional + directories - 4) < 5)  // NumberOfRvaAndSizes
    return false;
  directory->offset = Le32(optional + entry);
  directory->size = Le32(optional + entry + 4);
  directory->headersEnd = pe + 4 + 20 + optionalSize + uint64_t{40} * sections;
  return true;
}

void ClearSecurityDirectory(std::string* pe) {
  MemoryFile file(*pe);
  SecurityDirectory directory;
  if (!ReadSecurityDirectory(file, &directory)) return;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(pe->data());
  const uint64_t optional = uint64_t{Le32(bytes + 0x3C)} + 4 + 20;
  const size_t entry = (Le16(bytes + optional) == 0x10b ? 96 : 112) + 4 * 8;
  pe->replace(static_cast<size_t>(optional + entry), 8, 8, '\0');
}

uint64_t LogicalEnd(ReadFile& file) {
  const uint64_t length = file.Length();
  SecurityDirectory directory;
  if (!ReadSecurityDirectory(file, &directory) || directory.size == 0 ||
      directory.offset < directory.headersEnd ||
      uint64_t{directory.offset} + directory.size != length)
    return length;
  // How many zeros the signer added is recorded nowhere, and the tail block
  // may end in zeros too: going back from the table over zeros only, at most
  // 7, the trailer ends at the first place where a count of one or more and
  // entry 1's size read. A package of a multiple of 8 bytes gets no zeros.
  // (The table lies past the headers, so there are 7 bytes in front of it.)
  const uint64_t table = directory.offset;
  constexpr size_t kMost = kTableAlignment - 1;
  unsigned char before[kMost];
  if (file.ReadAt(table - kMost, before, kMost)) return table;
  for (size_t pad = 0; pad <= kMost; ++pad) {
    if (pad > 0 && before[kMost - pad] != 0) break;
    if (HoldsEntries(file, table - pad)) return table - pad;
  }
  return table;
}

std::unique_ptr<ReadFile> CutAtLogicalEnd(std::unique_ptr<ReadFile> file) {
  return std::make_unique<PackageFile>(std::move(file));
}

namespace {
std::string Field(std::string text, size_t width, char pad) {
  text.resize(width, pad);
  return text;
}
}  // namespace

std::string NameField(std::string_view name, char pad) {
  return Field(std::string(name.substr(0, kNameField)), kNameField, pad);
}
std::string SizeField(uint32_t size, char pad) {
  return Field(std::to_string(size), kSizeField, pad);
}
std::string CountField(int32_t count, char pad) {
  return Field(std::to_string(count), kCountField, pad);
}

void AppendEntry(std::string* out, std::string_view name, std::string_view data, char pad) {
  out->append(data);
  out->append(NameField(name, pad));
  out->append(SizeField(static_cast<uint32_t>(data.size()), pad));
}

void AppendEnd(std::string* out, int32_t count, char pad) {
  out->append(CountField(count, pad));
  out->append(kTailBlock, '\0');
}

}  // namespace sorvela::trailer
