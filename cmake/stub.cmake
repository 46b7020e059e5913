# The stub: one static GUI executable with its resources.
enable_language(RC)
# Link-time optimisation keeps the stub small: the core's unused paths go.
# Every program of this build takes it, since LTO and plain objects that share
# inline functions don't link together with this toolchain.
set(STRING_INSTANCES "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/win32/string_instances.h>")
# The 64-bit build only runs the tests under 64-bit Wine where the kernel runs
# no 32-bit programs; GCC 12 fails inside its x86-64 back end under LTO here,
# and that build needs no small size.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SHIPPED_BUILD OFF)
  set(LTO)
else()
  set(SHIPPED_BUILD ON)
  set(LTO -flto)
endif()
add_compile_options(${LTO} $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti> ${STRING_INSTANCES})
# One partition: GCC 12 fails inside its own symbol table on some splits.
if(LTO)
  add_link_options(-flto -flto-partition=one -Os)
else()
  add_link_options(-Os)
endif()
# Without exceptions: the library's unwinder and its throwing allocator would
# be a third of the stub. Memory running out reaches the program's handler
# instead (win32/runtime.cpp). The package tool for Windows links this core
# too; there memory running out ends the tool.
set(NO_EXCEPTIONS $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
foreach(library ${CORE_LIBRARIES})
  target_compile_options(${library} PRIVATE -Os ${LTO} -fno-rtti ${NO_EXCEPTIONS}
    -ffunction-sections -fdata-sections ${STRING_INSTANCES})
endforeach()

# The Win32 layer as a library, so benchmarks can use it without the entry point.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS win32/*.cpp)
list(FILTER WIN32_SOURCES EXCLUDE REGEX "/(main|code_page)\\.cpp$")
add_library(sorvela_win32 STATIC ${WIN32_SOURCES})
target_compile_options(sorvela_win32 PRIVATE -Os ${NO_EXCEPTIONS} -ffunction-sections -fdata-sections)
# Drawing throws nothing and allocates nothing; without unwinding tables it is smaller.
set_source_files_properties(win32/pictures.cpp PROPERTIES
  COMPILE_OPTIONS "-fno-exceptions;-fno-asynchronous-unwind-tables")
target_compile_definitions(sorvela_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
target_link_libraries(sorvela_win32 PUBLIC sorvela_core shell32 gdi32 user32 advapi32
  ole32 oleaut32 uuid)

add_executable(sorvela WIN32 win32/main.cpp resources/sorvela.rc)
target_compile_options(sorvela PRIVATE -Os ${NO_EXCEPTIONS} -ffunction-sections -fdata-sections)
target_link_libraries(sorvela PRIVATE sorvela_win32)
target_link_options(sorvela PRIVATE -static -s -Wl,--gc-sections
  -Wl,-Map=${CMAKE_BINARY_DIR}/sorvela.map)
if(SHIPPED_BUILD)
  # Large-address-aware: the process may use 3 GB of address space on a
  # 32-bit system started so, and 4 GB on a 64-bit one.
  target_link_options(sorvela PRIVATE -Wl,--large-address-aware)
  # This linker leaves the load configuration directory empty; the map tells
  # where the record went.
  find_program(PYTHON3 python3 REQUIRED)
  add_custom_command(TARGET sorvela POST_BUILD
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/cmake/load_config.py $<TARGET_FILE:sorvela>
      ${CMAKE_BINARY_DIR}/sorvela.map
    VERBATIM)
endif()
set_target_properties(sorvela PROPERTIES OUTPUT_NAME sorvela)
# The version resource takes its number from the generated version.h.
target_include_directories(sorvela PRIVATE ${CMAKE_BINARY_DIR}/generated)

# The package tool for publishers on Windows: a console program that carries
# the stub just built.
include(cmake/pack.cmake)
sorvela_pack_tool($<TARGET_FILE:sorvela> sorvela)
target_link_options(sorvela-pack PRIVATE -static -s $<$<BOOL:${SHIPPED_BUILD}>:-Wl,--large-address-aware>)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()

# Tests of the Win32 layer, run under Wine.
include(win32/tests/tests.cmake OPTIONAL)

# Win32 benchmark helpers, run under Wine by the benchmark scripts.
file(GLOB WIN32_BENCH_SOURCES CONFIGURE_DEPENDS bench/win32/*.cpp)
foreach(source ${WIN32_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  if(name MATCHES "_wine_bench$")
    target_link_libraries(${name} PRIVATE sorvela_win32)
  else()
    target_link_libraries(${name} PRIVATE shell32 gdi32 user32 advapi32)
  endif()
  target_link_options(${name} PRIVATE -static -s)
endforeach()
