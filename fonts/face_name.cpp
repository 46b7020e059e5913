// Placeholder until the name-table reader lands.
#include "fonts/face_name.h"

namespace sorvela {
std::string ReadFaceName(std::string_view) { return ""; }
}  // namespace sorvela
