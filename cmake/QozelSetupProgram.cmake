# The Windows setup program, qozel-config-<version>-win64.exe, made by
# NSIS (makensis): it installs the programs with their DLLs and plugins into
# the 64-bit Program Files, adds a Start-menu entry for each program, and
# registers an uninstaller among the installed programs.
set(CPACK_GENERATOR NSIS)
# A 64-bit setup program for a 64-bit program: it runs where the program
# runs, and its registry and Program Files are the 64-bit ones.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_PACKAGE_FILE_NAME "qozel-config-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "QoZEL Config")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "QoZEL Config")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "QoZEL Config ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "QoZEL Config")
set(CPACK_NSIS_INSTALLED_ICON_NAME "qozel-config.exe")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/dist/windows/qozel-config.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/dist/windows/qozel-config.ico")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Start-menu entries: program file name, then the entry's name.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_PACKAGE_EXECUTABLES
  "qozel-config" "QoZEL Config"
  "qozel-config-demo" "QoZEL Config - demonstracja")
