// The stub that sorvela-pack carries, built into it from the Windows build.
#pragma once

#include <string_view>

namespace sorvela::pack {

std::string_view EmbeddedStub();

}  // namespace sorvela::pack
