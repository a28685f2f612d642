# The Windows program stands alone: it imports only DLLs that every Windows has (no Qt,
# libstdc++, libgcc or winpthread DLLs beside it) and is under 1 MiB once stripped.
#   cmake -DPROGRAM=quillet.exe -DOBJDUMP=... -DSTRIP=... -DWORK=dir -P check_windows_program.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${PROGRAM}")
  message(STATUS "${PROGRAM} is not built yet (cmake --build --preset windows)")
  return()
endif()

set(system_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
foreach(import ${imports})
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    message(FATAL_ERROR "${PROGRAM} imports ${dll}, which Windows does not have by itself")
  endif()
  message(STATUS "imports ${dll}")
endforeach()

file(MAKE_DIRECTORY ${WORK})
set(stripped ${WORK}/quillet-stripped.exe)
execute_process(COMMAND ${STRIP} -o ${stripped} ${PROGRAM} RESULT_VARIABLE failed)
file(SIZE ${stripped} size)
if(failed OR size GREATER_EQUAL 1048576)
  message(FATAL_ERROR "${PROGRAM} stripped is ${size} bytes, not under 1 MiB")
endif()
message(STATUS "stripped: ${size} bytes")
