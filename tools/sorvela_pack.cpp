// sorvela-pack: makes, lists, unpacks and checks font packages, on Linux and
// on Windows alike; it carries the stub it packs onto. The usage text below
// lists the commands.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "base/code_page.h"
#include "base/file_names.h"
#include "base/text.h"
#include "fonts/face_name.h"
#include "package/memory_file.h"
#include "package/text_file.h"
#include "package/trailer.h"
#include "shellfolders/folders.h"
#include "tools/pack/check.h"
#include "tools/pack/embedded_stub.h"
#include "tools/pack/stdio_files.h"
#include "version.h"

namespace {

using namespace sorvela;

constexpr char kUsage[] =
    "usage: sorvela-pack create --out PACKAGE [--title T] [--url U] [--url-title T]\n"
    "                           [--publisher P] [--version X.Y.Z] [--id ID]\n"
    "                           [--readme FILE] [--license FILE] [--manifest FILE]\n"
    "                           [--stub STUB] FONT...\n"
    "       sorvela-pack list PACKAGE        entries, sizes and each font's Fonts value\n"
    "       sorvela-pack extract PACKAGE DIR the entries as files\n"
    "       sorvela-pack check PACKAGE       what the install will do, and every problem\n"
    "       sorvela-pack --help | --version\n"
    "create packs onto the stub this tool carries, or onto --stub STUB.\n"
    "check exits with 0 for a sound package and 1 for one with problems.\n";

constexpr int kFailed = 1;
constexpr int kUsageError = 2;

int Fail(const std::string& message) {
  std::fprintf(stderr, "sorvela-pack: %s\n", message.c_str());
  return kFailed;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "sorvela-pack: %s (sorvela-pack --help shows the usage)\n", message.c_str());
  return kUsageError;
}

std::string BaseName(const std::string& path) {
#ifdef _WIN32
  const size_t slash = path.find_last_of("/\\:");
#else
  const size_t slash = path.find_last_of('/');
#endif
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names the format can carry and that stay inside the folder they go to.
std::string CheckName(const std::string& name) {
  if (name.empty()) return "an entry name is empty";
  if (name.size() > trailer::kNameField)
    return "\"" + name + "\" is longer than " + std::to_string(trailer::kNameField) + " bytes";
  if (name.find_first_of("\\/:") != std::string::npos || name.find("..") != std::string::npos)
    return "\"" + name + "\" holds a path separator, \":\" or \"..\"";
  if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
    return "\"" + name + "\" holds a line break or NUL";
  if (IsCodeFileName(name))
    return "\"" + name +
           "\" would run as code beside the package (a program, library, script or shortcut)";
  if (!IsSafeName(name))
    return "\"" + name +
           "\" names a device, ends in a dot or holds a control character or "
           "one of < > \" | ? *";
  return "";
}

// Entries appended behind a signature would break it, and its certificate
// table would no longer end the file.
bool IsSigned(ReadFile& file) {
  trailer::SecurityDirectory directory;
  return trailer::ReadSecurityDirectory(file, &directory) && directory.size != 0;
}

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return IsControl(static_cast<unsigned char>(c)); });
}

std::string Quoted(const std::string& field) { return "\"" + field + "\""; }

// An entry to pack: a file's bytes, or a text made here.
struct Entry {
  std::string name;
  std::string path;  // "" for the text
  std::string text;
  uint64_t size = 0;
};

// Copies n bytes of `from` at offset behind what `to` holds; false with *why
// naming the file that failed.
bool Copy(ReadFile& from, const std::string& fromName, uint64_t offset, uint64_t n,
          pack::OutputFile& to, const std::string& toName, std::string* why) {
  static std::vector<char> buffer(1 << 20);
  if (Error e = CopyBytes(from, offset, n, to, buffer)) {
    *why = (to.failed() ? toName : fromName) + ": " + e.description;
    return false;
  }
  return true;
}

bool Append(pack::OutputFile& to, const std::string& toName, std::string_view bytes,
            std::string* why) {
  if (Error e = to.Append(bytes.data(), bytes.size())) {
    *why = toName + ": " + e.description;
    return false;
  }
  return true;
}

int Create(int argc, char** argv) {
  std::string stub, out, title, url, urlTitle, readme, license, manifest, publisher, version, id;
  std::vector<std::string> fonts;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* target) {
      if (i + 1 >= argc) return false;
      *target = argv[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--stub")
      ok = value(&stub);
    else if (arg == "--out")
      ok = value(&out);
    else if (arg == "--title")
      ok = value(&title);
    else if (arg == "--url")
      ok = value(&url);
    else if (arg == "--url-title")
      ok = value(&urlTitle);
    else if (arg == "--publisher")
      ok = value(&publisher);
    else if (arg == "--version")
      ok = value(&version);
    else if (arg == "--id")
      ok = value(&id);
    else if (arg == "--readme")
      ok = value(&readme);
    else if (arg == "--license")
      ok = value(&license);
    else if (arg == "--manifest")
      ok = value(&manifest);
    else if (arg.rfind("--", 0) == 0)
      return UsageError("unknown option " + arg);
    else
      fonts.push_back(arg);
    if (!ok) return UsageError(arg + " needs a value");
  }
  if (out.empty()) return UsageError("create needs --out");
  for (const std::string* field : {&title, &url, &urlTitle, &publisher, &version, &id})
    if (field->find('"') != std::string::npos || HasControlCharacter(*field))
      return Fail(
          "a title, address, publisher, version or id can't hold quotes, line breaks or other "
          "control characters");
  if (!url.empty() && !IsWebAddress(url))
    return Fail(
        "--url takes an http:// or https:// address of at most 2,048 characters, "
        "with no blanks and nothing an address must encode");

  std::string why;
  MemoryFile embedded(pack::EmbeddedStub());
  std::unique_ptr<pack::InputFile> stubFile;
  if (!stub.empty() && !pack::InputFile::Open(stub, &stubFile, &why)) return Fail(why);
  ReadFile& stubBytes = stub.empty() ? static_cast<ReadFile&>(embedded) : *stubFile;
  if (IsSigned(stubBytes))
    return Fail((stub.empty() ? "the stub" : stub) + " is signed: pack first, sign afterwards");

  // Appended first is listed last: texts and manifest first, then the fonts
  // backwards so that the package lists them in the order given. Each file is
  // measured now and copied when the package is written.
  std::vector<Entry> entries;
  auto add = [&](const std::string& path, const std::string& name) {
    std::unique_ptr<pack::InputFile> file;
    if (!pack::InputFile::Open(path, &file, &why)) return false;
    entries.push_back({name, path, "", file->Length()});
    return true;
  };
  if (!readme.empty() && !add(readme, BaseName(readme))) return Fail(why);
  if (!license.empty() && !add(license, BaseName(license))) return Fail(why);
  if (!manifest.empty()) {
    if (!add(manifest, kManifestName)) return Fail(why);
  } else {
    const std::string text =
        Quoted(kManifestTag) + "\r\n" + Quoted(readme.empty() ? kNoReadme : BaseName(readme)) +
        "\r\n" + Quoted(license.empty() ? kNoLicense : BaseName(license)) + "\r\n" + Quoted(title) +
        "\r\n" + Quoted(url) + "\r\n" + Quoted(urlTitle) + "\r\n" +
        // After the six, where a stub that doesn't know them never looks.
        (publisher.empty() && version.empty() && id.empty()
             ? ""
             : Quoted(publisher) + "\r\n" + Quoted(version) + "\r\n" + Quoted(id) + "\r\n");
    entries.push_back({kManifestName, "", text, text.size()});
  }
  for (auto font = fonts.rbegin(); font != fonts.rend(); ++font)
    if (!add(*font, BaseName(*font))) return Fail(why);

  if (entries.size() > static_cast<size_t>(trailer::kMaxEntries))
    return Fail("a package holds at most " + std::to_string(trailer::kMaxEntries) + " entries");
  for (const Entry& entry : entries) {
    const std::string problem = CheckName(entry.name);
    if (!problem.empty()) return Fail(problem);
    if (entry.size > INT32_MAX) return Fail("\"" + entry.name + "\" is too large");
  }
  // Zeros behind the stub make the package a multiple of 8 bytes, so that a
  // signer pads nothing in front of its table and removing the signature gives
  // back a package that reads from its end.
  uint64_t length = stubBytes.Length() + trailer::kTrailerEnd;
  for (const Entry& entry : entries) length += entry.size + trailer::kEntryHeader;
  const uint64_t over = length % trailer::kTableAlignment;
  const std::string padding(over == 0 ? 0 : trailer::kTableAlignment - over, '\0');

  std::unique_ptr<pack::OutputFile> package;
  if (!pack::OutputFile::Create(out, true, &package, &why)) return Fail(why);
  if (!Copy(stubBytes, stub.empty() ? "the stub" : stub, 0, stubBytes.Length(), *package, out,
            &why) ||
      !Append(*package, out, padding, &why))
    return Fail(why);
  for (const Entry& entry : entries) {
    std::unique_ptr<pack::InputFile> file;
    if (!entry.path.empty()) {
      if (!pack::InputFile::Open(entry.path, &file, &why)) return Fail(why);
      if (file->Length() != entry.size) return Fail(entry.path + ": changed while being packed");
    }
    MemoryFile text(entry.text);
    ReadFile& data = file ? static_cast<ReadFile&>(*file) : text;
    // NUL padding: a space-padded name would reach the registry and the font
    // calls with its padding.
    if (!Copy(data, entry.path, 0, entry.size, *package, out, &why) ||
        !Append(*package, out,
                trailer::NameField(entry.name, '\0') +
                    trailer::SizeField(static_cast<uint32_t>(entry.size), '\0'),
                &why))
      return Fail(why);
  }
  std::string end;
  trailer::AppendEnd(&end, static_cast<int32_t>(entries.size()), '\0');
  if (!Append(*package, out, end, &why)) return Fail(why);
  if (Error e = package->Close()) return Fail(out + ": " + e.description);
  return 0;
}

// The package file up to its logical end, and its entries.
Error ReadPackage(const std::string& path, std::unique_ptr<ReadFile>* package,
                  std::vector<trailer::Entry>* entries) {
  std::unique_ptr<pack::InputFile> file;
  std::string why;
  if (!pack::InputFile::Open(path, &file, &why)) return MakeError(ErrorKind::kCantOpen, why);
  *package = trailer::CutAtLogicalEnd(std::move(file));
  int16_t count = 0;
  Error e = trailer::ReadCount(**package, &count);
  if (!e) e = trailer::ReadEntries(**package, count, entries);
  if (e) e.description = path + ": " + e.description;
  return e;
}

// Each entry with its size and, for a font, the Fonts value the install will
// write; a warning for each font whose value another font already takes.
int List(const std::string& path) {
  std::unique_ptr<ReadFile> package;
  std::vector<trailer::Entry> entries;
  if (Error e = ReadPackage(path, &package, &entries)) return Fail(e.description);
  ValueOwners valueOwners;
  for (const trailer::Entry& entry : entries) {
    const std::string name = Trim(entry.name);
    std::printf("%s\t%u", name.c_str(), entry.size);
    if (IsFontFileName(name)) {
      FontIdentity font;
      FilePart data(*package, entry.dataOffset, entry.size);
      Error readError;
      const FontProblem problem = ReadFontIdentity(data, &font, &readError);
      if (readError) return Fail(path + ": " + readError.description);
      if (problem != FontProblem::kNone) {
        std::printf("\tnot a usable font: %s", DescribeFontProblem(problem).c_str());
      } else {
        std::printf("\t%s", font.ValueName().c_str());
        if (const std::string* owner = valueOwners.Claim(font.ValueName(), name))
          std::fprintf(stderr,
                       "sorvela-pack: warning: %s and %s would both be registered as \"%s\"\n",
                       owner->c_str(), name.c_str(), font.ValueName().c_str());
      }
    }
    std::printf("\n");
  }
  // The last namesake of the manifest is the one the stub reads.
  std::string text, field, title, publisher, version, id;
  for (const trailer::Entry& entry : entries) {
    if (Files::PlainNameKey(entry.name) != Files::PlainNameKey(kManifestName)) continue;
    FilePart data(*package, entry.dataOffset, entry.size);
    text.assign(static_cast<size_t>(std::min<uint64_t>(data.Length(), kManifestLimit)), '\0');
    if (data.ReadAt(0, text.data(), text.size())) text.clear();
  }
  FieldReader fields(text);
  bool complete = true;
  for (std::string* f : {&field, &field, &field, &title, &field, &field})
    complete = complete && !fields.Next(f);
  for (std::string* f : {&publisher, &version, &id})
    if (!complete || fields.Next(f)) break;
  if (complete)
    std::printf("entry %s: publisher \"%s\", version \"%s\"\n",
                PackageIdOf(publisher, title, id).c_str(), publisher.c_str(), version.c_str());
  return 0;
}

int Extract(const std::string& path, const std::string& folder) {
  std::unique_ptr<ReadFile> package;
  std::vector<trailer::Entry> entries;
  if (Error e = ReadPackage(path, &package, &entries)) return Fail(e.description);
  // In reading order, as the stub writes them: of two namesakes the later one stays.
  std::string why;
  for (const trailer::Entry& entry : entries) {
    std::string name = entry.name;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    std::string target = folder;
    (target += '/') += name;
    std::unique_ptr<pack::OutputFile> file;
    if (!pack::OutputFile::Create(target, false, &file, &why) ||
        !Copy(*package, path, entry.dataOffset, entry.size, *file, target, &why))
      return Fail(why);
    if (Error e = file->Close()) return Fail(target + ": " + e.description);
  }
  return 0;
}

// One line per font the install registers, one per problem, then the sum.
int Check(const std::string& path) {
  std::unique_ptr<pack::InputFile> package;
  std::string why;
  if (!pack::InputFile::Open(path, &package, &why)) return Fail(why);
  const pack::CheckReport report = pack::CheckPackage(*package);
  if (!report.entry.empty())
    std::printf("entry %s: publisher \"%s\", version \"%s\"\n", report.entry.c_str(),
                report.publisher.c_str(), report.version.c_str());
  for (const pack::CheckedFont& font : report.fonts)
    std::printf("font %s -> %s\n", font.file.c_str(), font.valueName.c_str());
  for (const std::string& problem : report.problems) std::printf("problem: %s\n", problem.c_str());
  const unsigned long fonts = report.fonts.size(), problems = report.problems.size();
  std::printf("%lu font%s, %lu problem%s\n", fonts, fonts == 1 ? "" : "s", problems,
              problems == 1 ? "" : "s");
  return report.Sound() ? 0 : kFailed;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Lines end in LF as on Linux, so both tools write the same bytes.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  const std::string command = argc > 1 ? argv[1] : "";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  if (command == "--version" && argc == 2) {
    std::printf("sorvela-pack %s\n", SORVELA_VERSION_TEXT);
    return 0;
  }
  if (command == "create") return Create(argc - 2, argv + 2);
  if (command == "list" && argc == 3) return List(argv[2]);
  if (command == "extract" && argc == 4) return Extract(argv[2], argv[3]);
  if (command == "check" && argc == 3) return Check(argv[2]);
  if (command.empty()) {
    std::fputs(kUsage, stderr);
    return kUsageError;
  }
  if (command == "list" || command == "extract" || command == "check")
    return UsageError(command + ": wrong number of arguments");
  return UsageError("unknown command " + command);
}
