# Tests of the Windows builds. Every build checks the program's import table; the 64-bit build
# also runs its test programs and the end-to-end scenarios under Wine.

add_test(NAME import_table
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/check-imports.sh ${MINGW_TRIPLE}-objdump $<TARGET_FILE:uninstall>)

# Small Win32 programs the tests and the demo drive: window robot, file holder, viewer stand-in.
file(GLOB TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp)
foreach(tool_source ${TOOL_SOURCES})
  get_filename_component(tool ${tool_source} NAME_WE)
  add_executable(${tool} ${tool_source})
  target_link_libraries(${tool} PRIVATE uninstall_core)
endforeach()
if(EXISTS ${CMAKE_SOURCE_DIR}/viewer-standin/pelbox.cpp)
  add_executable(pelbox WIN32 ${CMAKE_SOURCE_DIR}/viewer-standin/pelbox.cpp)
  target_link_libraries(pelbox PRIVATE advapi32)
endif()

if(NOT UNINSTALL_RUN_WINE_TESTS)
  return()
endif()

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One Wine root for the whole run: a booted template prefix that end-to-end scenarios copy, a
# shared copy the test programs run in, an Xvfb display and a code page 932 locale.
set(WINE_ROOTS ${CMAKE_BINARY_DIR}/wine)
add_test(NAME wine_setup COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine-fixture.sh setup ${WINE_ROOTS})
add_test(NAME wine_cleanup COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine-fixture.sh cleanup ${WINE_ROOTS})
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine)

function(add_wine_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE uninstall_app GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT "UNINSTALL_WINE_ROOT=${WINE_ROOTS}/shared"
    TIMEOUT 600)
  # Programs named *_cp932_test run under the Japanese locale: ANSI code page 932.
  if(name MATCHES "_cp932_test$")
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "WINE_CODE_PAGE_932=1")
  endif()
endfunction()

file(GLOB PORTABLE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/portable/*.cpp)
add_wine_gtest(portable_tests ${PORTABLE_TEST_SOURCES})

# Win32 integration tests: one program a file, each in folders of its own inside the prefix.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
file(GLOB WIN_TEST_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_helpers.cpp)
foreach(test_source ${WIN_TEST_SOURCES})
  get_filename_component(test_name ${test_source} NAME_WE)
  add_wine_gtest(${test_name} ${test_source} ${WIN_TEST_HELPERS})
endforeach()

# End-to-end scenarios: shell scripts that run the program as a user would.
file(GLOB E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
foreach(script ${E2E_SCRIPTS})
  get_filename_component(script_name ${script} NAME_WE)
  add_test(NAME e2e_${script_name} COMMAND bash ${script})
  set_tests_properties(e2e_${script_name} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT "UNINSTALL_WINE_ROOTS=${WINE_ROOTS};UNINSTALL_BUILD=${CMAKE_BINARY_DIR};UNINSTALL_SOURCE=${CMAKE_SOURCE_DIR}"
    TIMEOUT 900)
endforeach()
