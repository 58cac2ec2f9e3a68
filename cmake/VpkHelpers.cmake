# vpk_add_test(NAME name SOURCES ... LIBS ... [LABELS ...])
# A GoogleTest binary under build/tests, discovered by CTest. Tests find the built installation through
# the VPK_INSTALL_DIR environment variable and the source tree through VPK_SOURCE_DIR.
function(vpk_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} vpk_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "VPK_INSTALL_DIR=${VPK_INSTALL_DIR};VPK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
               TIMEOUT 600
               LABELS "${T_LABELS}")
endfunction()
