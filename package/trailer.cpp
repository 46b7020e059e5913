// Field conversions and header reads of the package trailer.
#include "package/trailer.h"

#include <cmath>
#include <cstring>

namespace sorvela::trailer {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\0'; }

Error Damaged(const char* what) {
  return MakeError(codes::kDamagedPackage, std::string("The package is damaged: ") + what);
}

}  // namespace

Error ParseCount(std::string_view field, int16_t* count) {
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t' || field[i] == '\r' ||
                                field[i] == '\n'))
      ++i;
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
  if (rounded < -32768 || rounded > 32767) return MakeError(codes::kOverflow, "Overflow");
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
    if (value > UINT32_MAX) return MakeError(codes::kOverflow, "Overflow");
  }
  if (i == digitsStart) return MakeError(codes::kTypeMismatch, "Type mismatch");
  while (i < field.size() && IsBlank(field[i])) ++i;
  if (i != field.size()) return MakeError(codes::kTypeMismatch, "Type mismatch");
  // The data length is a signed 32-bit number.
  if (value > INT32_MAX) return MakeError(codes::kOverflow, "Overflow");
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

bool IsDeviceName(std::string_view name) {
  // The system takes the part before the first dot, without its trailing
  // spaces, for the device: "con .txt" is the console too.
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper(base);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == device) return true;
  if (upper.size() != 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0))
    return false;
  // The ANSI superscripts one, two and three count as digits here.
  const unsigned char digit = static_cast<unsigned char>(upper[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool IsSafeName(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32 || std::strchr("\\/:<>\"|?*", c)) return false;
  // Trailing spaces are padding; a dot before them would be dropped by the
  // system, so "..  " would be the parent and "a.ttf." another file.
  size_t end = name.size();
  while (end > 0 && name[end - 1] == ' ') --end;
  if (end > 0 && name[end - 1] == '.') return false;
  return !IsDeviceName(name);
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
    return Damaged("an entry header lies before the start of the file");
  const uint64_t headerStart = length - kTrailerEnd - kEntryHeader - backOffset;
  char header[kEntryHeader];
  if (Error e = file.ReadAt(headerStart, header, sizeof header)) return e;
  if (Error e = ParseSize(std::string_view(header + kNameField, kSizeField), &entry->size))
    return e;
  if (entry->size > headerStart) return Damaged("an entry's data lies before the start of the file");
  entry->name = NameFromField(std::string_view(header, kNameField));
  if (!IsSafeName(entry->name)) return Damaged("an entry name is not a plain file name");
  entry->dataOffset = headerStart - entry->size;
  return Error::Ok();
}

Error ReadEntries(ReadFile& file, int16_t count, std::vector<Entry>* entries) {
  uint64_t backOffset = 0;
  for (int32_t k = 1;; ++k) {
    Entry entry;
    if (Error e = ReadEntry(file, backOffset, &entry)) return e;
    backOffset += uint64_t{entry.size} + kEntryHeader;
    entries->push_back(std::move(entry));
    if (k >= count) return Error::Ok();
  }
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
std::string SizeField(uint64_t size, char pad) {
  return Field(std::to_string(size), kSizeField, pad);
}
std::string CountField(int64_t count, char pad) {
  return Field(std::to_string(count), kCountField, pad);
}

void AppendEntry(std::string* out, std::string_view name, std::string_view data, char pad) {
  out->append(data);
  out->append(NameField(name, pad));
  out->append(SizeField(data.size(), pad));
}

void AppendEnd(std::string* out, int64_t count, char pad) {
  out->append(CountField(count, pad));
  out->append(kTailBlock, '\0');
}

}  // namespace sorvela::trailer
