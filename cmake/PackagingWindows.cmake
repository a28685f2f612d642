# The Windows packages (`cpack --preset windows`): an x64 NSIS installer with Start-menu
# entries and an uninstaller, and a ZIP of the same files.

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_FILE_NAME "Quillet-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillet)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quillet)
# The Start-menu entries: bin/quillet.exe as Quillet, bin/quillet-demo.exe as Quillet Demo.
set(CPACK_PACKAGE_EXECUTABLES quillet Quillet quillet-demo "Quillet Demo")

# The licence beside the program, with the line ends Notepad shows on every Windows.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt
  @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION ${CMAKE_INSTALL_BINDIR})

find_program(QUILLET_MAKENSIS makensis)
if(QUILLET_MAKENSIS)
  set(CPACK_NSIS_EXECUTABLE ${QUILLET_MAKENSIS})
endif()
# Debian's makensis makes a 32-bit installer unless told otherwise; a 64-bit-only Wine runs
# that one as a silent no-op, and the program is 64-bit anyway. An upgrade goes where the
# installed copy is (else to the usual folder, leaving the user's chosen one behind).
# GetSize measures the installed files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode
  InstallDirRegKey HKLM \\\"Software\\\\${CPACK_PACKAGE_VENDOR}\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\\\" \\\"\\\"
  !include FileFunc.nsh")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# Also the Start-menu folder.
set(CPACK_NSIS_PACKAGE_NAME Quillet)
set(CPACK_NSIS_DISPLAY_NAME Quillet)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\quillet.exe")
set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/windows_resources/app_icon.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_BINARY_DIR}/windows_resources/app_icon.ico)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A page that offers to put bin (kv31.exe) on PATH, for all users or the current one; not
# by default, nor in a silent install. The uninstaller takes it off again. The same page
# offers a desktop icon for Quillet, also off.
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_CREATE_DESKTOP_LINKS quillet)
# That page's texts, naming kv31 rather than the package's lower-case name.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)

# The uninstall entry: its size for Settings' list of apps, and NoModify and NoRepair as the
# numbers Windows reads there (the template writes them as strings). The key does not name
# the version, so an upgrade replaces the entry.
set(quillet_uninstall_key
  "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegDWORD SHCTX \\\"${quillet_uninstall_key}\\\" \\\"NoModify\\\" 1
  WriteRegDWORD SHCTX \\\"${quillet_uninstall_key}\\\" \\\"NoRepair\\\" 1
  \\\${GetSize} \\\"$INSTDIR\\\" \\\"/S=0K\\\" $0 $1 $2
  WriteRegDWORD SHCTX \\\"${quillet_uninstall_key}\\\" \\\"EstimatedSize\\\" $0
")
