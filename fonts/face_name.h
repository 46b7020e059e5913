// The face name of a TrueType font read from its own `name` table, without
// the system: what the system's font resource file carries after "FONTRES:"
// (the family name as GDI's lfFaceName has it, in the ANSI code page).
#pragma once

#include <string>
#include <string_view>

namespace sorvela {

// "" for anything that is not a readable TrueType font.
std::string ReadFaceName(std::string_view fontBytes);

}  // namespace sorvela
