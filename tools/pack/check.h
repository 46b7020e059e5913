// sorvela-pack check: what the install of a package will do and what would go
// wrong, read from the package's bytes the way the stub reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvela::pack {

struct CheckedFont {
  std::string file;       // the entry name, without its padding
  std::string valueName;  // the Fonts value the install writes for it
};

struct CheckReport {
  std::vector<CheckedFont> fonts;     // in the order the install takes them
  std::vector<std::string> problems;  // one sentence each
  bool Sound() const { return problems.empty(); }
};

CheckReport CheckPackage(std::string_view package);

}  // namespace sorvela::pack
