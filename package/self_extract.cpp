// The two walks over the package trailer and their helpers.
#include "package/self_extract.h"

#include <algorithm>
#include <new>

#include "base/text.h"
#include "package/text_file.h"
#include "package/trailer.h"

namespace sorvela::modSelfExtract {

int16_t EntryCount = 0;
std::string ReadmeFile;
std::string LicenseFile;

std::string& ReplaceText(std::string& text, const std::string& search,
                         const std::string& replacement) {
  if (search.empty()) return text;
  // One pass from the left; callers never pass a replacement that could form
  // a new occurrence, so this equals replacing until none is left.
  std::string result;
  size_t from = 0;
  for (size_t at; (at = text.find(search, from)) != std::string::npos; from = at + search.size()) {
    result.append(text, from, at - from);
    result += replacement;
  }
  if (from == 0) return text;
  result.append(text.substr(from));
  text = std::move(result);
  return text;
}

std::string& StripLineBreaks(std::string& text) {
  ReplaceText(text, "\n", "");
  return ReplaceText(text, "\r", "");
}

Error GetTempFolder(System& system, std::string* folder) { return system.TempFolder(folder); }

namespace {

// The longest path the ANSI file calls take, without its NUL.
constexpr size_t kMaxPath = 259;
constexpr char kWorkingPrefix[] = "sorvela-";
constexpr size_t kRandomBytes = 8;
// A name is taken only by chance or by someone who guessed it; either way
// another name will do, and a few tries tell a folder that can't be written.
constexpr int kTries = 8;

}  // namespace

Error RandomName(System& system, std::string* name) {
  unsigned char random[kRandomBytes];
  if (!system.Random(random, sizeof random))
    return MakeError(ErrorKind::kNoAnswer, "The system gives no random numbers");
  name->clear();
  for (unsigned char byte : random) {
    *name += "0123456789abcdef"[byte >> 4];
    *name += "0123456789abcdef"[byte & 15];
  }
  return Error::Ok();
}

Error CreateWorkingFolder(Files& files, System& system, size_t nameLength, std::string* folder) {
  std::string temp;
  if (Error e = GetTempFolder(system, &temp)) return e;
  temp = WithBackslash(temp);
  const size_t length = temp.size() + sizeof kWorkingPrefix - 1 + 2 * kRandomBytes + 1;
  if (length + nameLength > kMaxPath)
    return MakeError(ErrorKind::kPathTooLong, "The temporary folder's path is too long");
  const bool restricted = system.IsElevated();
  Error last;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    std::string name;
    if (Error e = RandomName(system, &name)) return e;
    std::string path = temp;
    (path += kWorkingPrefix) += name;
    last = files.CreateNewFolder(path, restricted);
    if (!last) {
      *folder = path + '\\';
      return Error::Ok();
    }
  }
  return last;
}

std::vector<bool> KeptNamesakes(Files& files, const std::vector<std::string>& names) {
  std::vector<bool> kept(names.size(), false);
  std::vector<std::string> seen;  // name keys, sorted
  for (size_t i = names.size(); i-- > 0;) {
    std::string key = files.NameKey(names[i]);
    const auto at = std::lower_bound(seen.begin(), seen.end(), key);
    if (at != seen.end() && *at == key) continue;
    seen.insert(at, std::move(key));
    kept[i] = true;
  }
  return kept;
}

Error ListPackage(System& system, std::vector<trailer::Entry>* entries) {
  std::unique_ptr<ReadFile> file;
  if (Error e = system.OpenPackageFile(&file)) return e;
  file = trailer::CutAtLogicalEnd(std::move(file));
  if (Error e = trailer::ReadCount(*file, &EntryCount)) return e;
  return trailer::ReadEntries(*file, EntryCount, entries);
}

namespace {

// The progress bar of the bytes written against all there are to write; the
// message loop runs after each piece.
class ExtractionProgress final : public CopyProgress {
 public:
  ExtractionProgress(Windows& windows, uint64_t total) : windows_(windows), total_(total) {}
  void Copied(uint64_t bytes) override {
    done_ += bytes;
    windows_.SetProgress(Control::prgExtracting, done_, total_);
    windows_.DoEvents();
  }

 private:
  Windows& windows_;
  uint64_t total_, done_ = 0;
};

}  // namespace

Error ExtractPackage(Files& files, System& system, Windows& windows,
                     const std::vector<trailer::Entry>& entries, const std::string& folder,
                     std::vector<std::string>* written) {
  std::unique_ptr<ReadFile> package;
  if (Error e = system.OpenPackageFile(&package)) return e;
  package = trailer::CutAtLogicalEnd(std::move(package));
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const trailer::Entry& entry : entries) names.push_back(entry.name);
  const std::vector<bool> kept = KeptNamesakes(files, names);
  uint64_t total = 0;
  for (size_t i = 0; i < entries.size(); ++i)
    if (kept[i]) total += entries[i].size;
  ExtractionProgress progress(windows, total);
  // Entries are copied a piece at a time: fonts of any size need no more memory.
  std::vector<char> buffer(1 << 20);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!kept[i]) continue;
    const trailer::Entry& entry = entries[i];
    windows.DoEvents();
    std::unique_ptr<WriteFile> out;
    if (Error e = files.CreateNew(folder + entry.name, &out)) return e;
    written->push_back(entry.name);
    if (Error e = CopyBytes(*package, entry.dataOffset, entry.size, *out, buffer, &progress))
      return e;
    if (Error e = out->Close()) return e;
  }
  windows.SetProgress(Control::prgExtracting, total, total);
  return Error::Ok();
}

}  // namespace sorvela::modSelfExtract
