# Windows builds (cross-compiled with mingw-w64): the program, its test programs and tools.
# Everything links statically, so the program loads no DLL but those of Windows itself.
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
add_compile_options(-Wall -Wextra -ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_compile_options(-Os)
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  set(UNINSTALL_ARCH X86)
else()
  set(UNINSTALL_ARCH amd64)
endif()

file(GLOB WIN_FRAMEWORK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/framework/*_win.cpp)
list(REMOVE_ITEM WIN_FRAMEWORK_SOURCES ${CMAKE_SOURCE_DIR}/framework/entry_win.cpp)
file(GLOB WIN_SYS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sys/*.cpp)
foreach(portable ${PORTABLE_SOURCES})
  list(REMOVE_ITEM WIN_SYS_SOURCES ${CMAKE_SOURCE_DIR}/${portable})
endforeach()
add_library(uninstall_core STATIC ${PORTABLE_SOURCES} ${WIN_FRAMEWORK_SOURCES} ${WIN_SYS_SOURCES})
target_include_directories(uninstall_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(uninstall_core PUBLIC shell32 ole32 advapi32 user32 gdi32)

# The application's own code, as a library so that the test programs can call it.
file(GLOB APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*.cpp)
list(REMOVE_ITEM APP_SOURCES ${CMAKE_SOURCE_DIR}/app/the_app.cpp)
add_library(uninstall_app STATIC ${APP_SOURCES})
target_link_libraries(uninstall_app PUBLIC uninstall_core)

# The program: the one application object, the process entry and the resources.
configure_file(res/uninstall.manifest.in ${CMAKE_BINARY_DIR}/uninstall.manifest @ONLY)
add_executable(uninstall WIN32 app/the_app.cpp framework/entry_win.cpp res/uninstall.rc)
target_include_directories(uninstall PRIVATE ${CMAKE_BINARY_DIR})
set_source_files_properties(res/uninstall.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/uninstall.manifest)
target_link_libraries(uninstall PRIVATE uninstall_app)

if(CMAKE_CROSSCOMPILING_EMULATOR AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(UNINSTALL_RUN_WINE_TESTS ON)
endif()
include(cmake/tests-windows.cmake)
