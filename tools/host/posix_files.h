// Files over POSIX calls, for the package tool and the benchmarks. Paths are
// used as given; the tool builds them with "/" and the core's "\" is mapped.
#pragma once

#include "services/services.h"

namespace sorvela {

class PosixFiles final : public Files {
 public:
  Error Open(const std::string& path, std::unique_ptr<ReadFile>* file) override;
  Error CreateNew(const std::string& path, std::unique_ptr<WriteFile>* file) override;
  Error Move(const std::string& from, const std::string& to, bool replace) override;
  Error RemoveAtRestart(const std::string& path) override;
  Error ReplaceAtRestart(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override;
  bool IsProtected(const std::string&) override { return false; }
  Error Remove(const std::string& path) override;
  Error CreateFolder(const std::string& path) override;
  Error CreateNewFolder(const std::string& path, bool restricted) override;
  Error RemoveFolder(const std::string& path) override;
};

// The core joins folders with "\"; on the host that is "/".
std::string HostPath(const std::string& path);

}  // namespace sorvela
