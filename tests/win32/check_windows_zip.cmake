# The Windows ZIP holds the programs (kv31.exe too) and the licence beside them, with Windows line ends.
#   cmake -DZIP=Quillet-1.0-win64.zip -DLICENSE=LICENSE -DWORK=dir -P check_windows_zip.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${ZIP}")
  message(STATUS "${ZIP} is not built yet (cpack --preset windows)")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${WORK})
get_filename_component(top ${ZIP} NAME_WLE)
foreach(file bin/quillet.exe bin/quillet-demo.exe bin/kv31.exe bin/LICENSE.txt)
  if(NOT EXISTS ${WORK}/${top}/${file})
    message(FATAL_ERROR "${ZIP} lacks ${top}/${file}")
  endif()
endforeach()
# As hex, since reading text drops carriage returns. The licence is ASCII, so "0a" only
# ever matches a whole line feed.
file(READ ${WORK}/${top}/bin/LICENSE.txt shipped HEX)
file(READ ${LICENSE} original HEX)
string(REPLACE "0a" "0d0a" original "${original}")
if(NOT shipped STREQUAL original)
  message(FATAL_ERROR "bin/LICENSE.txt in ${ZIP} is not LICENSE with Windows line ends")
endif()
