// The package check: the stub's own readers (trailer, manifest fields, font
// names) over the package file, taking note of a problem where the stub
// would fail or lose something, and going on where it can.
#include "tools/pack/check.h"

#include <algorithm>
#include <map>

#include "base/code_page.h"
#include "base/file_names.h"
#include "base/text.h"
#include "fonts/face_name.h"
#include "package/memory_file.h"
#include "package/text_file.h"
#include "package/trailer.h"
#include "shellfolders/folders.h"

namespace sorvela::pack {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A field as the report can show it on one line: its start, control
// characters as "?".
std::string Shown(std::string text) {
  if (text.size() > 64) text = text.substr(0, 60) + "...";
  for (char& c : text)
    if (IsControl(static_cast<unsigned char>(c))) c = '?';
  return Quoted(text);
}

// The code pages under which the check reads names: the Western one, which
// the stub's walk here reads as, first, then the Japanese, Simplified
// Chinese, Korean and Traditional Chinese ones, where two bytes may make one
// character.
constexpr unsigned kWestern = 1252;
constexpr unsigned kCodePages[] = {kWestern, 932, 936, 949, 950};

// Names a Western system's file system takes for one file.
std::string NameKey(const std::string& name) { return NameKeyIn(kWestern, name); }

// Names that are unsafe, or one file with another entry, only on a system of
// another code page: such a system reads the package otherwise.
void CheckNamesElsewhere(const std::vector<trailer::Entry>& entries,
                         std::vector<std::string>* problems) {
  std::vector<std::string> unsafeWhere(entries.size());
  for (unsigned codePage : kCodePages) {
    if (codePage == kWestern) continue;
    const std::string page = std::to_string(codePage);
    std::map<std::string, size_t> first;
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string& name = entries[i].name;
      if (!IsSafeName(name)) continue;  // reported as damaged already
      if (!IsSafeNameIn(codePage, name)) {
        unsafeWhere[i] += (unsafeWhere[i].empty() ? "" : ", ") + page;
        continue;
      }
      const auto [other, isNew] = first.emplace(NameKeyIn(codePage, name), i);
      if (!isNew && NameKey(entries[other->second].name) != NameKey(name))
        problems->push_back(Quoted(Trim(entries[other->second].name)) + " and " +
                            Quoted(Trim(name)) + " are one file on a system of code page " + page +
                            ": only one of them is kept there");
    }
  }
  for (size_t i = 0; i < entries.size(); ++i)
    if (!unsafeWhere[i].empty())
      problems->push_back(Quoted(Trim(entries[i].name)) +
                          " is not a name the package can hold on a system of code page " +
                          unsafeWhere[i] + ": the package reads as damaged there");
}

// The stub's walk, going on past names the stub refuses, to name them all.
bool ReadAllEntries(ReadFile& file, std::vector<trailer::Entry>* entries,
                    std::vector<std::string>* problems) {
  int16_t count = 0;
  Error e = trailer::ReadCount(file, &count);
  if (!e) e = trailer::ReadEntries(file, count, entries, true);
  for (const trailer::Entry& entry : *entries)
    if (!entry.safe)
      problems->push_back(Quoted(Trim(entry.name)) +
                          " is not a name the package can hold: the package reads as damaged");
  if (!e) return true;
  problems->push_back("the package's entries can't be read (" + e.description +
                      "): it shows \"This Sorvela contains no fonts.\"");
  return false;
}

}  // namespace

CheckReport CheckPackage(ReadFile& package) {
  CheckReport report;
  std::vector<std::string>& problems = report.problems;
  // As the stub, up to the logical end: before a certificate table that ends
  // the file. A table that no longer does leaves the file read to its end.
  const uint64_t end = trailer::LogicalEnd(package);
  trailer::SecurityDirectory directory;
  if (trailer::ReadSecurityDirectory(package, &directory) && directory.size != 0 &&
      end == package.Length())
    problems.push_back(
        "the signature no longer ends the file: something was added after "
        "signing, so the signature is broken; sign the package again");
  FilePart file(package, 0, end);
  std::vector<trailer::Entry> entries;
  if (!ReadAllEntries(file, &entries, &problems)) return report;
  auto name = [&](size_t i) { return Trim(entries[i].name); };
  auto data = [&](size_t i) { return FilePart(file, entries[i].dataOffset, entries[i].size); };

  // The extraction writes the entries in reading order: of namesakes, the
  // file holds the one read later.
  std::map<std::string, size_t> extracted;
  for (size_t i = 0; i < entries.size(); ++i) extracted[NameKey(entries[i].name)] = i;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (IsCodeFileName(entries[i].name))
      problems.push_back(Quoted(name(i)) +
                         " would run as code: \"/E\" leaves it out, and the tool refuses it");
    const size_t kept = extracted[NameKey(entries[i].name)];
    if (kept != i)
      problems.push_back(Quoted(name(i)) + " and " + Quoted(name(kept)) +
                         " are one file to the system: only " + Quoted(name(kept)) + " is kept");
  }
  CheckNamesElsewhere(entries, &problems);
  auto find = [&](const std::string& field) {
    const auto it = extracted.find(NameKey(field));
    return it == extracted.end() ? entries.size() : it->second;
  };

  const size_t manifest = find(kManifestName);
  std::string tag, readme, license, title, url, urlTitle, id;
  if (manifest == entries.size()) {
    problems.push_back(std::string("the package has no manifest (") + kManifestName + ")");
  } else {
    FilePart part = data(manifest);
    std::string text(static_cast<size_t>(std::min<uint64_t>(part.Length(), kManifestLimit)), '\0');
    if (Error e = part.ReadAt(0, text.data(), text.size()))
      problems.push_back(Quoted(name(manifest)) + " can't be read: " + e.description);
    FieldReader fields(text);
    bool complete = !fields.Next(&tag);
    if (complete && tag != kManifestTag) {
      problems.push_back(std::string("the manifest does not begin with \"") + kManifestTag + "\"");
    } else {
      for (std::string* field : {&readme, &license, &title, &url, &urlTitle})
        complete = complete && !fields.Next(field);
      for (std::string* field : {&report.publisher, &report.version, &id})
        if (!complete || fields.Next(field)) break;
      report.entry = PackageIdOf(report.publisher, title, id);
      if (!complete) {
        problems.push_back("the manifest has fewer than six fields");
      } else {
        if (readme != kNoReadme && find(readme) == entries.size())
          problems.push_back("the manifest names the readme " + Quoted(readme) +
                             ", which the package does not hold");
        if (license != kNoLicense && find(license) == entries.size())
          problems.push_back("the manifest names the licence " + Quoted(license) +
                             ", which the package does not hold");
        if (!url.empty() && !IsWebAddress(url))
          problems.push_back("the web address " + Shown(url) +
                             " is no http:// or https:// address of at most 2,048 characters "
                             "a web link can take: the install writes no web links");
      }
    }
  }

  ValueOwners valueOwners;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!IsFontFileName(entries[i].name) || extracted[NameKey(entries[i].name)] != i) continue;
    FontIdentity font;
    FilePart part = data(i);
    Error readError;
    const FontProblem problem = ReadFontIdentity(part, &font, &readError);
    if (readError || problem != FontProblem::kNone) {
      problems.push_back(Quoted(name(i)) +
                         (readError ? " can't be read: " + readError.description
                                    : " is not a usable font: " + DescribeFontProblem(problem)));
      continue;
    }
    report.fonts.push_back({name(i), font.ValueName()});
    if (const std::string* owner = valueOwners.Claim(font.ValueName(), name(i)))
      problems.push_back(Quoted(*owner) + " and " + Quoted(name(i)) +
                         " would both be registered as " + Quoted(font.ValueName()));
  }
  return report;
}

}  // namespace sorvela::pack
