# Native (Linux) build: the portable code with the Linux stand-ins of the framework, under
# AddressSanitizer and UndefinedBehaviorSanitizer; its tests, fuzz targets and benchmarks.
option(UNINSTALL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(UNINSTALL_FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
option(UNINSTALL_BENCH "Build the benchmarks instead of the tests" OFF)
if(UNINSTALL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(UNINSTALL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

file(GLOB NATIVE_FRAMEWORK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/framework/*_native.cpp)
add_library(uninstall_core STATIC ${PORTABLE_SOURCES} ${NATIVE_FRAMEWORK_SOURCES})
target_include_directories(uninstall_core PUBLIC ${CMAKE_SOURCE_DIR})

if(UNINSTALL_FUZZ)
  add_subdirectory(fuzz)
  return()
endif()
if(UNINSTALL_BENCH)
  add_subdirectory(bench)
  return()
endif()

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB PORTABLE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/portable/*.cpp)
add_executable(portable_tests ${PORTABLE_TEST_SOURCES})
target_link_libraries(portable_tests PRIVATE uninstall_core GTest::gtest_main)
gtest_discover_tests(portable_tests DISCOVERY_TIMEOUT 60)
