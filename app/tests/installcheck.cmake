# Installs the program into a fresh prefix and checks that the installed
# program finds every library it needs from there, and that the launcher
# entry and the icon are where desktops look for them.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch prefix> -P installcheck.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --component kestrun
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

foreach(file bin/kestrun lib/kestrun/libtwain_32.so share/applications/kestrun.desktop
             share/icons/hicolor/scalable/apps/kestrun.svg share/icons/hicolor/256x256/apps/kestrun.png)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# Through the link in bin, as the launcher starts it.
execute_process(COMMAND ldd "${PREFIX}/bin/kestrun" RESULT_VARIABLE result OUTPUT_VARIABLE libraries)
string(FIND "${libraries}" "not found" missing)
string(REGEX MATCH "libkestrun_app.so => [^ ]*" app "${libraries}")
string(FIND "${app}" "=> ${PREFIX}/" own)
if(NOT result EQUAL 0 OR NOT missing EQUAL -1 OR own EQUAL -1)
  message(FATAL_ERROR "the installed program does not find its libraries in ${PREFIX}:\n${libraries}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
