# vpk_add_test(NAME name SOURCES ... LIBS ... [LABELS ...])
# A GoogleTest binary under build/tests, discovered by CTest. Tests find the built installation and the
# source tree through test_support (InstallDir(), SourceDir()): compiled in, overridable by the
# VPK_INSTALL_DIR and VPK_SOURCE_DIR environment variables. Label slow suites "slow" (the sanitizer
# pass leaves them out).
function(vpk_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} vpk_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Test tables fill only the fields a case needs; the others keep their defaults on purpose.
  target_compile_options(${T_NAME} PRIVATE -Wno-missing-field-initializers)
  set(properties TIMEOUT 600)
  if(T_LABELS)
    list(APPEND properties LABELS ${T_LABELS})
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
