# libFuzzer harnesses (fuzz/*_fuzz.cpp) over an instrumented copy of the core.
# Clang only, in a build tree of their own:
#   cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DSORVELA_FUZZ=ON
#   cmake --build build/fuzz --target fuzzers
option(SORVELA_FUZZ "Build the libFuzzer harnesses (needs clang)" OFF)
if(NOT SORVELA_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "SORVELA_FUZZ needs clang++: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

set(FUZZ_SANITIZERS -fsanitize=address,undefined)
add_library(sorvela_core_fuzz STATIC ${CORE_SOURCES})
target_include_directories(sorvela_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
# -O1 after the build type's flags, so it wins: fast enough, still debuggable.
target_compile_options(sorvela_core_fuzz PUBLIC ${FUZZ_SANITIZERS} -fsanitize=fuzzer-no-link
  -fno-sanitize-recover=all -fno-omit-frame-pointer -g -O1)
target_link_options(sorvela_core_fuzz PUBLIC ${FUZZ_SANITIZERS})

add_custom_target(fuzzers)
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*_fuzz.cpp)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE sorvela_core_fuzz)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers ${name})
endforeach()
