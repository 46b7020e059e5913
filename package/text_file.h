// Whole-file helpers, and reading the package's text entries: the manifest's comma or line
// separated fields, and the readme and licence texts line by line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "services/services.h"

namespace sorvela {

// The whole file in memory; fails when it can't be opened, read or held.
Error ReadWholeFile(Files& files, const std::string& path, std::string* bytes);

// The first limit bytes of the file, or all of a shorter one.
Error ReadFileStart(Files& files, const std::string& path, uint64_t limit, std::string* bytes);

// Makes a new file that holds exactly these bytes.
Error WriteWholeFile(Files& files, const std::string& path, const void* data, size_t n);

// Told of each piece a copy has written: long copies show how far they are
// and keep the windows answering.
class CopyProgress {
 public:
  virtual ~CopyProgress() = default;
  virtual void Copied(uint64_t bytes) = 0;
};

// Copies a file into a new file through buffer, a piece at a time; a copy
// that fails half-way is removed.
Error CopyToNewFile(Files& files, const std::string& from, const std::string& to,
                    std::vector<char>& buffer, CopyProgress* progress = nullptr);

// Copies n bytes at offset of source into target through buffer, a piece at a time.
Error CopyBytes(ReadFile& source, uint64_t offset, uint64_t n, WriteFile& target,
                std::vector<char>& buffer, CopyProgress* progress = nullptr);

// The manifest entry, its first field, and the fields that name no text.
constexpr char kManifestName[] = "kestrel.dat";
constexpr char kManifestTag[] = "KESTREL DATAFILE 1";
constexpr char kNoReadme[] = "NOREADME";
constexpr char kNoLicense[] = "NOLICENSE";
// How much of the manifest is read: its fields lie far inside, and a larger
// one is cut, not held whole.
constexpr uint64_t kManifestLimit = 4 << 20;
// The entry a kept uninstaller carries instead of fonts: their value names, a line each.
constexpr char kRemovalListName[] = "removal.dat";

// The name of a package's own entry in the system's list of programs and of
// its uninstaller's folder: the manifest's id field, or the publisher and the
// title, kept to letters, digits, blanks and "._-", behind "Sorvela." so
// that no package can take over another program's entry. Where letters
// beyond ASCII went, or the text was cut, eight hex digits of the whole
// text's hash follow, so that titles in other scripts don't all meet in one
// key. The same from one version of a package to the next.
std::string PackageIdOf(const std::string& publisher, const std::string& title,
                        const std::string& id);

// Fields separated by a comma or a line break (CR LF, CR or LF). Leading
// spaces are skipped; a quoted field runs to the next quote and whatever
// follows it up to the separator is dropped; an unquoted field loses its
// trailing spaces.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}
  // Fails with "Input past end of file" when no field is left.
  Error Next(std::string* field);

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// The text as the text boxes show it: each line, ended by CR or CR LF in the
// file (a lone LF stays inside its line), followed by CR LF.
std::string TextBoxLines(std::string_view text);

}  // namespace sorvela
