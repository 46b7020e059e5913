// modGetFontFilename: a font file's face name, and the Fonts key and Fonts
// folder services around it. Nothing is cached: each call asks the system.
#pragma once

#include <string>
#include <string_view>

#include "services/services.h"

namespace sorvela {

// The face name the system's font resource file carries after "FONTRES:", or
// "" when the system can't make one. Fails when that file can't be read back.
Error GetFontName(const Services& s, const std::string& fontFile, std::string* name);

// The text between "FONTRES:" and the next NUL of a font resource file, or "".
std::string FaceFromFontResource(std::string_view bytes);

std::string GetFontsKey(System& system);
std::string QueryValueText(Registry& registry, RegKey key, const std::string& valueName);
std::string GetRegistryString(Registry& registry, RegKey root, const std::string& keyPath,
                              const std::string& valueName);
Error SetRegistryString(const Services& s, RegKey root, const std::string& keyPath,
                        const std::string& valueName, const std::string& data);

std::string AddBackslash(const std::string& path);
Error GetFontsFolder(const Services& s, std::string* folder);
Error GetRegisteredFontFile(const Services& s, const std::string& faceName, std::string* file);
Error IsFontInstalled(const Services& s, const std::string& fontFile, bool* installed);

// Writes the Fonts key value for the face and loads the font from the Fonts
// folder. An empty face name, or a write or load the system refuses, fails.
Error RegisterFont(const Services& s, const std::string& faceName, const std::string& fileName);

}  // namespace sorvela
