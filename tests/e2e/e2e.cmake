# End-to-end tests under Wine: tests/e2e/test_*.sh, each with its own Wine
# prefix and virtual X server; the fixture makes the prefix template once.
# They need build/win32 (the stub and the driver), which build.sh builds first.
set(E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
set(E2E_WIN32_DIR ${CMAKE_SOURCE_DIR}/build/win32 CACHE PATH
  "Build folder of the stub and the e2e driver")
# On a machine whose kernel runs no 32-bit programs, a 64-bit build of the
# same sources under 64-bit Wine (tests/wine64).
option(E2E_WINE64 "Run the tests under 64-bit Wine against a 64-bit build" OFF)
set(E2E_ENV
  E2E_STUB=${E2E_WIN32_DIR}/sorvela.exe
  E2E_DRIVER=${E2E_WIN32_DIR}/e2e-driver.exe
  E2E_PACK=$<TARGET_FILE:sorvela-pack>
  E2E_PACK_WIN=${E2E_WIN32_DIR}/sorvela-pack.exe
  E2E_WORK=${CMAKE_BINARY_DIR}/e2e)
if(E2E_WINE64)
  list(APPEND E2E_ENV SORVELA_WINE64=1 E2E_STATE=${CMAKE_SOURCE_DIR}/build/e2e64)
else()
  list(APPEND E2E_ENV E2E_STATE=${CMAKE_SOURCE_DIR}/build/e2e)
endif()

add_test(NAME e2e_setup COMMAND ${E2E_DIR}/setup.sh)
set_tests_properties(e2e_setup PROPERTIES FIXTURES_SETUP e2e ENVIRONMENT "${E2E_ENV}" TIMEOUT 300
  SKIP_RETURN_CODE 77)

file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${E2E_DIR}/test_*.sh)
foreach(script ${E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e_${name} COMMAND ${script})
  set_tests_properties(e2e_${name} PROPERTIES
    FIXTURES_REQUIRED e2e
    ENVIRONMENT "${E2E_ENV}"
    SKIP_RETURN_CODE 77
    TIMEOUT 180
    LABELS e2e)
endforeach()
