# The Windows program stands alone: it imports only DLLs that every Windows has (no Qt,
# libstdc++, libgcc or winpthread DLLs beside it) and is under 1 MiB once stripped. So does
# the demo; the program holds none of the demo's printer, and the demo none of the real port.
# kv31.exe, the console program, stands alone the same way, under 2 MiB, and holds no
# printer either.
#   cmake -DPROGRAM=quillet.exe -DDEMO=quillet-demo.exe -DCONSOLE=kv31.exe -DOBJDUMP=...
#         -DSTRIP=... -DWORK=dir -P check_windows_program.cmake

cmake_minimum_required(VERSION 3.25)

foreach(exe "${PROGRAM}" "${DEMO}" "${CONSOLE}")
  if(NOT EXISTS "${exe}")
    message(STATUS "${exe} is not built yet (cmake --build --preset windows)")
    return()
  endif()
endforeach()

# setupapi: kv31's port listing.
set(system_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
  setupapi.dll user32.dll)

# limit: bytes once stripped.
function(check_stands_alone exe limit)
  execute_process(COMMAND ${OBJDUMP} -p ${exe} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${exe}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  if(NOT imports)
    message(FATAL_ERROR "no imports found in ${exe}")
  endif()
  foreach(import ${imports})
    string(REPLACE "DLL Name: " "" dll "${import}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
      message(FATAL_ERROR "${exe} imports ${dll}, which Windows does not have by itself")
    endif()
    message(STATUS "imports ${dll}")
  endforeach()

  file(MAKE_DIRECTORY ${WORK})
  get_filename_component(name ${exe} NAME_WE)
  set(stripped ${WORK}/${name}-stripped.exe)
  execute_process(COMMAND ${STRIP} -o ${stripped} ${exe} RESULT_VARIABLE failed)
  file(SIZE ${stripped} size)
  if(failed OR size GREATER_EQUAL limit)
    message(FATAL_ERROR "${exe} stripped is ${size} bytes, not under ${limit}")
  endif()
  message(STATUS "stripped: ${size} bytes")
endfunction()

check_stands_alone(${PROGRAM} 1048576)
check_stands_alone(${DEMO} 1048576)
# The JSON library and the console's own code: some 1.4 MiB.
check_stands_alone(${CONSOLE} 2097152)

# A console program, so that a script in cmd or PowerShell waits for it and gets its output
# and exit code.
execute_process(COMMAND ${OBJDUMP} -p ${CONSOLE} OUTPUT_VARIABLE console_headers)
if(NOT console_headers MATCHES "Subsystem[\t ]+0*3[\t ]")
  message(FATAL_ERROR "${CONSOLE} is not a console program")
endif()
execute_process(COMMAND ${OBJDUMP} -t ${CONSOLE} OUTPUT_VARIABLE console_symbols)
if(console_symbols MATCHES "_ZN4kv31")
  message(FATAL_ERROR "the emulated printer must not be in ${CONSOLE}")
endif()

# What each one links, from its symbols: the emulated printer (namespace kv31) only in the
# demo, and the real serial port's functions not in the demo.
execute_process(COMMAND ${OBJDUMP} -t ${PROGRAM} OUTPUT_VARIABLE program_symbols)
execute_process(COMMAND ${OBJDUMP} -t ${DEMO} OUTPUT_VARIABLE demo_symbols)
execute_process(COMMAND ${OBJDUMP} -p ${DEMO} OUTPUT_VARIABLE demo_headers)
if(program_symbols MATCHES "_ZN4kv31" OR NOT demo_symbols MATCHES "_ZN4kv31")
  message(FATAL_ERROR "the emulated printer must be in ${DEMO} and not in ${PROGRAM}")
endif()
if(demo_headers MATCHES "SetCommState")
  message(FATAL_ERROR "${DEMO} links the real serial port")
endif()
