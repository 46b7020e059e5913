# The package tool, built for the host and for Windows from the same sources:
# its library (shared with the unit tests) and the program, which carries the
# stub's bytes. sorvela_pack_tool(STUB_FILE [STUB_TARGET]) adds both.
file(GLOB PACK_SOURCES CONFIGURE_DEPENDS tools/pack/*.cpp)

function(sorvela_pack_tool stub_file)
  add_library(sorvela_pack_lib STATIC ${PACK_SOURCES})
  target_link_libraries(sorvela_pack_lib PUBLIC sorvela_core)
  target_include_directories(sorvela_pack_lib PUBLIC ${CMAKE_BINARY_DIR}/generated)

  set(embedded ${CMAKE_BINARY_DIR}/generated/embedded_stub.cpp)
  add_custom_command(OUTPUT ${embedded}
    COMMAND ${CMAKE_COMMAND} -DIN=${stub_file} -DOUT=${embedded}
      -P ${CMAKE_SOURCE_DIR}/cmake/embed_stub.cmake
    DEPENDS ${stub_file} ${ARGN} ${CMAKE_SOURCE_DIR}/cmake/embed_stub.cmake
    COMMENT "Embedding the stub in sorvela-pack"
    VERBATIM)
  add_executable(sorvela-pack tools/sorvela_pack.cpp ${embedded})
  target_link_libraries(sorvela-pack PRIVATE sorvela_pack_lib)
endfunction()
