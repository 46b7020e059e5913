// The package trailer: entries appended to the stub, read from the file's end.
//
//   [ stub bytes ........................................ ]
//   [ data N ][ name N (40) ][ size N (10) ]   first entry appended
//   ...
//   [ data 1 ][ name 1 (40) ][ size 1 (10) ]   last entry appended = entry 1
//   [ count (5) ][ tail block (514, never read) ]
//
// With L the file length and B the sum of (S + 50) over the entries before
// entry k, entry k's size field is at L-529-B, its name field at L-569-B and
// its S data bytes end right before the name field. Names are in the ANSI
// code page, padded with spaces or NULs; sizes and the count are decimal
// text, padded likewise.
//
// A package signed after packing carries a certificate table behind all that,
// named by the security directory of the PE optional header:
//
//   [ ... count (5) ][ tail block (514) ][ zeros, 0-7 ][ certificate table ]
//                                        ^ L           ^ 8-byte aligned, ends the file
//
// The walks then take L to be that logical end, not the file's length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "services/services.h"

namespace sorvela::trailer {

constexpr size_t kTailBlock = 514;
constexpr size_t kCountField = 5;
constexpr size_t kNameField = 40;
constexpr size_t kSizeField = 10;
constexpr size_t kEntryHeader = kNameField + kSizeField;
constexpr size_t kTrailerEnd = kTailBlock + kCountField;
constexpr int32_t kMaxEntries = 32767;
// Signers pad the file with zeros to this before appending the certificate table.
constexpr uint64_t kTableAlignment = 8;
static_assert(kEntryHeader == 50 && kTrailerEnd == 519, "fixed by the package format");

// The count field: the number at the start of the text after line breaks are
// removed (no number gives 0), rounded to 16 bits; outside that range fails.
Error ParseCount(std::string_view raw, int16_t* count);

// A size field: a non-negative whole decimal number with optional blank and
// NUL padding; anything else fails.
Error ParseSize(std::string_view field, uint32_t* size);

// A name field as the program lists it: line breaks removed, cut at the first
// NUL. Trailing spaces stay (file names ignore them).
std::string NameFromField(std::string_view field);

struct Entry {
  std::string name;
  uint32_t size = 0;
  uint64_t dataOffset = 0;
  // False for a name the walk went on past (see ReadEntries).
  bool safe = true;
};

// Reads the count field of a package of the given length.
Error ReadCount(ReadFile& file, int16_t* count);

// Reads the header of the entry whose header ends backOffset bytes before the
// count field, checking that its data lies inside the file. A name that is
// not safe fails with *entry filled in, so that a check can name it and go on.
Error ReadEntry(ReadFile& file, uint64_t backOffset, Entry* entry);

// Reads the headers of entries 1, 2, ... up to count, and always entry 1.
// The stub stops at a name that is not safe, as at any damage; a check that
// names every such name goes on past them, marking them.
Error ReadEntries(ReadFile& file, int16_t count, std::vector<Entry>* entries,
                  bool pastUnsafeNames = false);

// The security directory (data directory 4) of a PE file: the certificate
// table's file offset and size, and where the headers end. False when the file
// has no such entry: not a PE file, headers cut short, too few directories.
struct SecurityDirectory {
  uint32_t offset = 0;
  uint32_t size = 0;
  uint64_t headersEnd = 0;
};
bool ReadSecurityDirectory(ReadFile& file, SecurityDirectory* directory);

// Empties the security directory of a PE file's headers in memory: a copy of
// a signed program without its certificate table must not name one.
void ClearSecurityDirectory(std::string* pe);

// Where the trailer ends: before the certificate table and its alignment
// padding when a table lies past the headers and ends the file; else the
// file's length, whatever the directory says.
uint64_t LogicalEnd(ReadFile& file);

// The package file as the walks read it: cut off at its logical end.
std::unique_ptr<ReadFile> CutAtLogicalEnd(std::unique_ptr<ReadFile> file);

// Builders, shared by the package tool and the tests. pad is the byte that
// fills the rest of a field (space or NUL).
std::string NameField(std::string_view name, char pad = ' ');
std::string SizeField(uint32_t size, char pad = ' ');
std::string CountField(int32_t count, char pad = ' ');
void AppendEntry(std::string* out, std::string_view name, std::string_view data, char pad = ' ');
void AppendEnd(std::string* out, int32_t count, char pad = ' ');

}  // namespace sorvela::trailer
