# Shared build settings: the options target every target links, GoogleTest, and the test helper.

add_library(vantel_options INTERFACE)
target_compile_features(vantel_options INTERFACE cxx_std_20)
target_include_directories(vantel_options INTERFACE "${PROJECT_SOURCE_DIR}")
target_compile_options(vantel_options INTERFACE -Wall -Wextra -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_BUILD_TYPE STREQUAL "Release")
  # GCC 12 at -O3 reports std::string internals inlined into our code as maybe-uninitialized
  # (false positives); keep them visible as warnings there.
  target_compile_options(vantel_options INTERFACE -Wno-error=maybe-uninitialized)
endif()
if(VANTEL_WINDOWS)
  target_compile_definitions(vantel_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                      _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # No MinGW DLLs next to the programs: the runtime is linked in.
  target_link_options(vantel_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# Programs whose entry point is wWinMain / wmain (the program itself): link vantel_unicode_entry.
add_library(vantel_unicode_entry INTERFACE)
if(VANTEL_WINDOWS)
  target_link_options(vantel_unicode_entry INTERFACE -municode)
endif()

# GoogleTest from Debian's sources, compiled with this build's compiler (also MinGW).
macro(vantel_add_googletest)
  set(VANTEL_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory("${VANTEL_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endmacro()

# vantel_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [WINDOWS_ONLY] [GUI] [NO_MAIN])
#   A GoogleTest program whose tests CTest discovers one by one. Windows programs run under Wine.
#   GUI: the tests drive the real pointer or need focus; they never run beside each other.
#   NO_MAIN: the sources (or a library in LIBS) bring their own main().
function(vantel_add_gtest name)
  cmake_parse_arguments(T "WINDOWS_ONLY;GUI;NO_MAIN" "" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT VANTEL_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE vantel_options ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set(props TIMEOUT 120)
  if(T_GUI)
    list(APPEND props RESOURCE_LOCK display)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES ${props})
endfunction()
