# The Windows packages (`cpack --preset windows`): an x64 NSIS installer with a Start-menu
# entry and an uninstaller, and a ZIP of the same files.

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_FILE_NAME "Quillet-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillet)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quillet)
# The Start-menu entry: bin/quillet.exe under the name Quillet.
set(CPACK_PACKAGE_EXECUTABLES quillet Quillet)

find_program(QUILLET_MAKENSIS makensis)
if(QUILLET_MAKENSIS)
  set(CPACK_NSIS_EXECUTABLE ${QUILLET_MAKENSIS})
endif()
# Debian's makensis makes a 32-bit installer unless told otherwise; a 64-bit-only Wine runs
# that one as a silent no-op, and the program is 64-bit anyway.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# Also the Start-menu folder.
set(CPACK_NSIS_PACKAGE_NAME Quillet)
set(CPACK_NSIS_DISPLAY_NAME Quillet)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\quillet.exe")
set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/windows_resources/app_icon.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_BINARY_DIR}/windows_resources/app_icon.ico)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
