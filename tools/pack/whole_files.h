// Whole files for the package tool, over the C library alone, so that one
// implementation serves the tool on Linux and on Windows.
#pragma once

#include <string>
#include <string_view>

namespace sorvela::pack {

// The file's bytes; false with *why naming the file and the cause.
bool ReadWhole(const std::string& path, std::string* bytes, std::string* why);

// Puts exactly these bytes at path, replacing a file there. They are written
// beside it first and renamed into place, so a failure leaves no partial file
// and the old one, if any, as it was. A program is made runnable where that
// is a permission.
bool WriteWhole(const std::string& path, std::string_view bytes, bool program, std::string* why);

}  // namespace sorvela::pack
