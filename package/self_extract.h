// modSelfExtract: the listing and extraction walks over the program's own
// file, the temporary folder and the small text routines around them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/trailer.h"
#include "services/services.h"

namespace sorvela::modSelfExtract {

// Module state that lives for the whole run.
extern int16_t EntryCount;
extern std::string ReadmeFile;
extern std::string LicenseFile;

// Replaces every occurrence of search (non-empty) in text; text receives the result.
std::string& ReplaceText(std::string& text, const std::string& search,
                         const std::string& replacement);
// Removes every LF, then every CR; text receives the result.
std::string& StripLineBreaks(std::string& text);
// The temporary folder as the system gives it (no backslash added), or "".
std::string GetTempFolder(System& system);

// The listing pass over the package file: sets EntryCount and appends each
// entry (name, size, place) to entries, entry 1 first. Entry 1 is read
// whatever the count says.
Error ListPackage(System& system, std::vector<trailer::Entry>* entries);

// Writes the listed entries into the temporary folder from one opening of the
// package file. Failing steps are skipped; the message loop runs between steps.
void ExtractPackage(Files& files, System& system, Windows& windows,
                    const std::vector<trailer::Entry>& entries);

}  // namespace sorvela::modSelfExtract
