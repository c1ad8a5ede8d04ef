# Helpers shared by every subsystem's CMakeLists.

# Every target sees the project root, so includes read "platform/core/...".
function(kestrun_target_defaults target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# kestrun_add_test(<name> SOURCES <files...> [LIBS <targets...>] [QT])
# One GoogleTest program whose tests carry the label of their top folder
# (platform, analysis, ...), so that `ctest -L analysis` runs one subsystem.
# QT marks programs that use Qt: they get the Qt test environment (an
# offscreen application object and the leak suppressions for Qt and
# fontconfig).
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
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS ${label})
endfunction()
