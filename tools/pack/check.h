// sorvela-pack check: what the install of a package will do and what would go
// wrong, read from the package file the way the stub reads it.
#pragma once

#include <string>
#include <vector>

#include "services/services.h"

namespace sorvela::pack {

struct CheckedFont {
  std::string file;       // the entry name, without its padding
  std::string valueName;  // the Fonts value the install writes for it
};

struct CheckReport {
  std::vector<CheckedFont> fonts;     // in the order the install takes them
  std::vector<std::string> problems;  // one sentence each
  // The manifest's optional fields, and the key of the package's entry in
  // the system's list of programs ("" when the manifest can't be read).
  std::string publisher, version, entry;
  bool Sound() const { return problems.empty(); }
};

CheckReport CheckPackage(ReadFile& package);

}  // namespace sorvela::pack
