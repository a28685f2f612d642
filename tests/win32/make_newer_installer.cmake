# The Windows installer of this build under a higher version number, for installing over an
# installed copy: the same files and entries, only the version differs.
#   cmake -DBUILD=build/windows -DINSTALLER=... -DCPACK=cpack -DVERSION=1.0.1 -DOUT=dir -P ...

cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${INSTALLER}")
  message(STATUS "${INSTALLER} is not built yet (cpack --preset windows)")
  return()
endif()
execute_process(
  COMMAND ${CPACK} -G NSIS -B ${OUT}
    -D CPACK_PACKAGE_VERSION=${VERSION}
    -D CPACK_PACKAGE_FILE_NAME=Quillet-${VERSION}-win64
    -D CPACK_OUTPUT_FILE_PREFIX=${OUT}
  WORKING_DIRECTORY ${BUILD}
  RESULT_VARIABLE failed)
if(failed OR NOT EXISTS "${OUT}/Quillet-${VERSION}-win64.exe")
  message(FATAL_ERROR "cpack did not make the installer of version ${VERSION} in ${OUT}")
endif()
