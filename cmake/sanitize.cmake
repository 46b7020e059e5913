# The unit tests once more, core and host sources compiled in, under
# AddressSanitizer and UndefinedBehaviorSanitizer: one ctest test runs them
# all. -O1 keeps the extra build short; any report fails the test.
set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_executable(unit_tests_sanitized ${CORE_SOURCES} ${HOST_SOURCES} ${PACK_SOURCES} ${UNIT_TESTS})
target_include_directories(unit_tests_sanitized PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests
  ${CMAKE_BINARY_DIR}/generated)
target_compile_options(unit_tests_sanitized PRIVATE ${SANITIZE_FLAGS} -O1)
target_link_options(unit_tests_sanitized PRIVATE ${SANITIZE_FLAGS})
target_link_libraries(unit_tests_sanitized PRIVATE GTest::gtest_main)
add_test(NAME unit_tests_sanitized COMMAND unit_tests_sanitized)
set_tests_properties(unit_tests_sanitized PROPERTIES FIXTURES_REQUIRED test_fonts
  ENVIRONMENT "SORVELA_TEST_FONTS=${TEST_FONTS};ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1;UBSAN_OPTIONS=print_stacktrace=1")
