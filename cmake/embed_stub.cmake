# Writes OUT, a C++ source that holds the bytes of the file IN, the stub that
# sorvela-pack carries:  cmake -DIN=sorvela.exe -DOUT=embedded_stub.cpp -P embed_stub.cmake
if(NOT EXISTS "${IN}")
  message(FATAL_ERROR "The stub ${IN} is not built: build it first (./build.sh win32).")
endif()
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" length)
if(length EQUAL 0)
  message(FATAL_ERROR "The stub ${IN} is empty.")
endif()
# 32 bytes to a line.
string(REGEX REPLACE "(................................................................)" "\\1\n"
  hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUT}.new" "// Made at build time from the stub; not edited by hand.
#include \"tools/pack/embedded_stub.h\"

namespace sorvela::pack {
namespace {
const unsigned char kStub[] = {
${bytes}
};
}  // namespace

std::string_view EmbeddedStub() {
  return std::string_view(reinterpret_cast<const char*>(kStub), sizeof kStub);
}

}  // namespace sorvela::pack
")
# Written whole, then moved: an interrupted build leaves no half array behind.
file(RENAME "${OUT}.new" "${OUT}")
