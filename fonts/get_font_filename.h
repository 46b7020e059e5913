// modGetFontFilename: a font file's names, and the Fonts key and Fonts
// folder services around them. Nothing is cached: each call asks the system.
#pragma once

#include <string>

#include "fonts/face_name.h"
#include "services/services.h"

namespace sorvela {

// A value as text: a string up to its first NUL, binary data as the signed
// number of its first two bytes, "" for any other type.
std::string ValueText(const RegValue& value);
// The value's text, or "" when the key or the value is missing.
std::string GetRegistryString(Registry& registry, RegRoot root, const std::string& keyPath,
                              const std::string& valueName);
Error SetRegistryString(const Services& s, RegRoot root, const std::string& keyPath,
                        const std::string& valueName, const std::string& data);

Error GetFontsFolder(const Services& s, std::string* folder);

// Fonts for one user need Windows 10 version 1809 (build 17763) or later.
bool PerUserFontsSupported(System& system);

// The Fonts folder of a scope, ending in "\\", or "": all users' is the
// system's Fonts folder, the current user's lies in the local application data.
Error GetFontsFolder(const Services& s, FontScope scope, std::string* folder);
// Makes the current user's Fonts folder where it is missing.
Error CreateFontsFolder(const Services& s, FontScope scope);

// The names of a font file, read from its own tables; a file that is not a
// usable font fails with the reason, before the system ever sees it.
Error GetFontIdentity(const Services& s, const std::string& fontFile, FontIdentity* identity);

// The file registered under a Fonts value name of the scope, as a full path, or "".
Error GetRegisteredFontFile(const Services& s, FontScope scope, const std::string& valueName,
                            std::string* file);
Error IsFontInstalled(const Services& s, FontScope scope, const std::string& valueName,
                      bool* installed);

// Loads the font from the scope's Fonts folder and, once the system has taken
// it, writes its Fonts value: the bare file name for all users, the full path
// for one user, as the system reads each. A value that an install naming fonts
// by family left for this same file goes. A load or write the system refuses
// fails. Without load, only the value is written: the file comes into place
// at the next restart.
Error RegisterFont(const Services& s, FontScope scope, const FontIdentity& font,
                   const std::string& fileName, bool load = true);

// A Fonts value of the scope as its text stands, "" when there is none; and
// set back to such a text, "" deleting it.
std::string GetFontValue(const Services& s, FontScope scope, const std::string& valueName);
Error SetFontValue(const Services& s, FontScope scope, const std::string& valueName,
                   const std::string& text);

// Whether a value of the scope other than besides names the file (a full
// path); true also when the values can't be read.
bool FileIsRegistered(const Services& s, FontScope scope, const std::string& path,
                      const std::string& besides);

}  // namespace sorvela
