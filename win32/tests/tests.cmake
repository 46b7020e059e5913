# Tests of the Win32 layer: a console program for Wine, linked with the layer
# and the core but not the stub's entry point.
add_executable(win32_tests ${CMAKE_SOURCE_DIR}/win32/tests/win32_test.cpp)
target_link_libraries(win32_tests PRIVATE sorvela_win32 comctl32)
target_link_options(win32_tests PRIVATE -static)

enable_testing()
add_test(NAME win32_layer
  COMMAND ${CMAKE_SOURCE_DIR}/win32/tests/run.sh $<TARGET_FILE:win32_tests>)
if(NOT SHIPPED_BUILD)
  set_tests_properties(win32_layer PROPERTIES ENVIRONMENT SORVELA_WINE64=1)
endif()

# Import allow-list, the loader flag and DLL planting, against the stub that
# ships; the 64-bit check build has none of its flags.
if(SHIPPED_BUILD)
  enable_language(C)
  add_library(planted SHARED ${CMAKE_SOURCE_DIR}/win32/tests/planted.c)
  set_target_properties(planted PROPERTIES PREFIX "" LINKER_LANGUAGE C)
  target_link_options(planted PRIVATE -nostdlib -Wl,-e,_DllMain@12)
  target_link_libraries(planted PRIVATE kernel32)
  add_executable(plant_probe ${CMAKE_SOURCE_DIR}/win32/tests/plant_probe.c)
  set_target_properties(plant_probe PROPERTIES LINKER_LANGUAGE C)
  target_link_options(plant_probe PRIVATE -nostdlib -Wl,-e,_Start@0)
  target_link_libraries(plant_probe PRIVATE kernel32)
  add_test(NAME stub_hardening
    COMMAND ${CMAKE_SOURCE_DIR}/win32/tests/stub_hardening.sh $<TARGET_FILE:sorvela>
      $<TARGET_FILE:planted> $<TARGET_FILE:plant_probe> ${CMAKE_SOURCE_DIR}/build/host/sorvela-pack
      $<TARGET_FILE:sorvela-pack> $<TARGET_FILE:e2e-driver> ${CMAKE_SOURCE_DIR}/win32/control_ids.h)
  set_tests_properties(stub_hardening PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()
set_tests_properties(win32_layer PROPERTIES SKIP_RETURN_CODE 77)
