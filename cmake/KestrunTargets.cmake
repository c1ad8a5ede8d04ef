# Helpers shared by every subsystem's CMakeLists.

# Every target sees the project root, so includes read "platform/core/...".
function(kestrun_target_defaults target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# kestrun_add_test(<name> SOURCES <files...> [LIBS <targets...>] [QT])
# One GoogleTest program, run by CTest as one test that carries the label of
# its top folder (platform, analysis, ...), so that `ctest -L analysis` runs
# one subsystem. A program runs all its cases in one process: starting a
# sanitized program with Qt for every case cost more than the cases did.
# GoogleTest's output names the failing suite and case.
# QT marks programs that use Qt: they get the Qt test environment (an
# offscreen application object and the leak suppressions for Qt and
# fontconfig).
#
# Test sources build in batches (unity builds) with precompiled headers and
# without optimisation: parsing GoogleTest, OpenCV and Qt in every file, and
# optimising long test bodies, took most of the build. The code under test
# keeps its own flags.
function(kestrun_add_test name)
  if(NOT KESTRUN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" label "${rel}")

  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kestrun_test_main GTest::gtest GTest::gmock)
  if(ARG_QT)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/platform/ui/testing/qt_test_environment.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Widgets)
  endif()
  kestrun_target_defaults(${name})
  kestrun_fast_test_build(${name} ${ARG_QT})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${label})
endfunction()

function(kestrun_fast_test_build target qt)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${KESTRUN_TEST_UNITY_BATCH})
  # -fPIC as Qt's targets add it, so that one shared header set fits every
  # test program. GCC takes a source included into a unity file for a header
  # and warns about the test fixtures' anonymous namespaces, which are right
  # in a source file.
  target_compile_options(${target} PRIVATE -O0 -fPIC -Wno-subobject-linkage)
  target_include_directories(${target} SYSTEM PRIVATE ${OpenCV_INCLUDE_DIRS})
  if(qt)
    set(provider kestrun_test_pch_qt)
  else()
    set(provider kestrun_test_pch)
  endif()
  kestrun_test_pch_provider(${provider} ${qt})
  target_precompile_headers(${target} REUSE_FROM ${provider})
endfunction()

# The precompiled headers that all test programs share, one set with Qt and
# one without, built once by a program of their own with the test
# programs' flags (an executable, so that it compiles position-independent
# the way they do).
function(kestrun_test_pch_provider provider qt)
  if(TARGET ${provider})
    return()
  endif()
  set(source ${PROJECT_BINARY_DIR}/${provider}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "int main() { return 0; }\n")
  add_executable(${provider} ${source})
  target_compile_options(${provider} PRIVATE -O0 -fPIC)
  target_include_directories(${provider} PRIVATE ${PROJECT_SOURCE_DIR})
  target_include_directories(${provider} SYSTEM PRIVATE ${OpenCV_INCLUDE_DIRS})
  target_link_libraries(${provider} PRIVATE GTest::gtest GTest::gmock)
  target_precompile_headers(${provider} PRIVATE
    <gtest/gtest.h>
    <gmock/gmock.h>
    <opencv2/core.hpp>
    <opencv2/imgproc.hpp>
    <algorithm>
    <filesystem>
    <functional>
    <map>
    <memory>
    <string>
    <vector>
    "${PROJECT_SOURCE_DIR}/platform/core/cstring.h"
    "${PROJECT_SOURCE_DIR}/platform/core/arrays.h"
    "${PROJECT_SOURCE_DIR}/platform/core/archive.h")
  if(qt)
    target_link_libraries(${provider} PRIVATE Qt6::Widgets)
    target_precompile_headers(${provider} PRIVATE <QApplication> <QWidget> <QPainter> <QImage>)
  endif()
endfunction()

# ThreadSanitizer for the engine's runs on several threads: every library
# and test program is built with it (it cannot be combined with the
# address sanitizer). Build and run the analysis tests with it:
#   cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRUN_TSAN=ON
#   cmake --build build/tsan --target analysis_tests
#   ctest --test-dir build/tsan -L analysis --output-on-failure
option(KESTRUN_TSAN "Build with ThreadSanitizer (for the analysis tests)" OFF)
if(KESTRUN_TSAN)
  if(KESTRUN_SANITIZE)
    message(FATAL_ERROR "KESTRUN_TSAN and KESTRUN_SANITIZE cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -O1 -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
