// The rules a file name must keep to be written safely, and when two names
// are one file: shared by the stub, which writes the package's entries and
// web links, and the package tool, which refuses or reports what breaks them.
#pragma once

#include <string>
#include <string_view>

namespace sorvela {

// True for a name the system takes for a device (CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM or LPT with a digit 1-9 or a superscript 1-3), in any case
// and with any extension.
bool IsDeviceName(std::u16string_view name);

// False for names that would leave the folder they are written to, name a
// device, hold what a file name can't (control characters, < > " | ? *) or
// that the system would change (a dot at the end, before any padding spaces).
bool IsSafeName(std::u16string_view name);

// The same for a name's bytes as the system reads them, in its ANSI code page
// or in the one given: bytes that are no text there are no safe name either
// (a lead byte at the end names the file without it on one system, another
// on the next).
bool IsSafeName(std::string_view name);
bool IsSafeNameIn(unsigned codePage, std::string_view name);

// Equal for two names exactly when a system of the given code page takes
// them for one file: trailing spaces and dots go, and case is folded as its
// file system folds it.
std::string NameKeyIn(unsigned codePage, std::string_view name);

// True for a name the system would load or run as code (a program, a library,
// a driver, a script, an installer or a shortcut), by its extension in any
// case, trailing blanks and dots aside. Such entries are never written
// beside the package: a DLL dropped into a downloads folder would be loaded
// by the next program started there.
bool IsCodeFileName(std::string_view name);

}  // namespace sorvela
