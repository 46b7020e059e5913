// Files over POSIX calls, for the package tool and the benchmarks. Paths are
// used as given; the tool builds them with "/" and the core's "\" is mapped.
#pragma once

#include "services/services.h"

namespace sorvela {

class PosixFiles final : public Files {
 public:
  Error Open(const std::string& path, std::unique_ptr<ReadFile>* file) override;
  Error Create(const std::string& path, std::unique_ptr<WriteFile>* file) override;
  Error Copy(const std::string& from, const std::string& to) override;
  Error Remove(const std::string& path) override;
  Error CreateFolder(const std::string& path) override;
};

// The core joins folders with "\"; on the host that is "/".
std::string HostPath(const std::string& path);

}  // namespace sorvela
