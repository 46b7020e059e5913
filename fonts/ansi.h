// Text in the system's ANSI code page, as the system's own conversion gives
// it: where a character has no byte of its own, a look-alike or '?'.
#pragma once

#include <string>
#include <string_view>

namespace sorvela {

// The build for Windows asks the system; elsewhere the conversion of a
// Windows-1252 system stands in, so that the package tool and the tests
// predict what a Western system writes.
std::string AnsiFromUtf16(std::u16string_view text);

}  // namespace sorvela
