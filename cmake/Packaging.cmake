# Packages made by cpack from a build (`cpack --preset default`), versioned by project().

set(QUILLET_PACKAGE_MAINTAINER "The Quillet developers <quillet@example.org>" CACHE STRING
  "Maintainer named by the packages")

set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLET_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "read and rewrite the header lines of a KV-31 serial printer")
set(CPACK_PACKAGE_DESCRIPTION [[
Quillet talks to a KV-31 printer over a serial port, COM1 or COM2 at
9600 baud. It reads the six header lines that the printer keeps, lists
them with their fonts, rewrites one line (text, font and alignment)
while checking that it fits the printer's 380-dot line, prints a test
page and restores the maker's default lines.

COM2 reaches the first USB serial adapter through a udev rule. The
package also holds quillet-demo, Quillet with COM1 wired to an emulated
printer for trying it without one, and kv31-sim, which plays the
printer on a pseudo-terminal.]])
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
# Directories the install step creates, whatever the umask of the one who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION comm)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/linux/postinst
    ${PROJECT_SOURCE_DIR}/packaging/linux/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
