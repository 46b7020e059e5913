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
// The temporary folder as the system gives it (no backslash added).
Error GetTempFolder(System& system, std::string* folder);

// Sixteen hex digits from the system's random numbers, for names no other
// program can guess; fails when the system gives none.
Error RandomName(System& system, std::string* name);

// Makes the run's own working folder under the temporary folder, named with a
// random part no other program can predict, new (never one already there),
// restricted to administrators and the system when the run is elevated.
// *folder ends in "\\". Fails when the temporary folder can't hold a file of
// nameLength characters in it under the ANSI calls' path limit.
Error CreateWorkingFolder(Files& files, System& system, size_t nameLength, std::string* folder);

// The listing pass over the package file: sets EntryCount and appends each
// entry (name, size, place) to entries, entry 1 first. Entry 1 is read
// whatever the count says.
Error ListPackage(System& system, std::vector<trailer::Entry>* entries);

// Of names the file system takes for one file, the one it keeps when each is
// written in turn: the last. True for that one and for names of their own.
std::vector<bool> KeptNamesakes(Files& files, const std::vector<std::string>& names);

// Writes the listed entries into the folder, each as a new file, from one
// opening of the package file; of namesakes (one file to the system) only the
// one read last, which the system would keep. *written receives the name of
// every file made, also of one that failed half-way, so that it can be
// removed. Any failure ends it: no file of another run can stand in for an
// entry. The message loop runs between steps.
Error ExtractPackage(Files& files, System& system, Windows& windows,
                     const std::vector<trailer::Entry>& entries, const std::string& folder,
                     std::vector<std::string>* written);

}  // namespace sorvela::modSelfExtract
