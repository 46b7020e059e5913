# Host build: the package tool, unit tests and benchmarks.
file(GLOB HOST_SOURCES CONFIGURE_DEPENDS tools/host/*.cpp)
add_library(sorvela_host STATIC ${HOST_SOURCES})
target_link_libraries(sorvela_host PUBLIC sorvela_core)

# sorvela-pack carries the stub of the Windows build, which build.sh makes first.
set(SORVELA_STUB ${CMAKE_SOURCE_DIR}/build/win32/sorvela.exe CACHE FILEPATH
  "The stub that sorvela-pack carries")
if(NOT EXISTS ${SORVELA_STUB} AND NOT SORVELA_FUZZ)
  message(FATAL_ERROR "sorvela-pack carries the stub, and ${SORVELA_STUB} is not built: "
    "run ./build.sh win32 first, or point -DSORVELA_STUB= at a stub.")
endif()
include(cmake/pack.cmake)
sorvela_pack_tool(${SORVELA_STUB})

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
foreach(source ${BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE sorvela_host)
endforeach()

enable_testing()
find_package(GTest REQUIRED)
file(GLOB UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*_test.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE sorvela_host sorvela_pack_lib GTest::gtest_main)
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# A font collection the tests read, made from two DejaVu fonts at test time.
set(TEST_FONTS ${CMAKE_BINARY_DIR}/test_fonts)
add_test(NAME make_test_collection COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/make_collection.py ${TEST_FONTS}/DejaVuSerif.ttc
    /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf)
set_tests_properties(make_test_collection PROPERTIES FIXTURES_SETUP test_fonts)
include(GoogleTest)
gtest_discover_tests(unit_tests PROPERTIES FIXTURES_REQUIRED test_fonts
  ENVIRONMENT SORVELA_TEST_FONTS=${TEST_FONTS})
include(cmake/sanitize.cmake)
foreach(tests unit_tests unit_tests_sanitized)
  target_compile_definitions(${tests} PRIVATE SORVELA_FUZZ_CORPUS="${CMAKE_SOURCE_DIR}/tests/fuzz_corpus")
endforeach()
include(cmake/fuzz.cmake)

# End-to-end tests under Wine, registered when the stub build sits beside us.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
  include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
endif()
