# The Windows installer: Bridger.exe alone, packed by CPack's NSIS generator with the
# project's own script template (cmake/nsis/NSIS.template.in). `cpack` in a Windows build
# directory makes Bridger-<version>-win64.exe; tools/package.sh does it from scratch.
install(TARGETS Bridger RUNTIME DESTINATION .)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Bridger)
set(CPACK_PACKAGE_VENDOR Bridger)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${BRIDGER_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME Bridger-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Bridger)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Bridger)
set(CPACK_NSIS_DISPLAY_NAME Bridger)
set(CPACK_NSIS_PACKAGE_NAME Bridger)
# Read by the template.
set(CPACK_BRIDGER_EXE Bridger.exe)
set(CPACK_BRIDGER_VERSION4 ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
set(CPACK_BRIDGER_ICON ${CMAKE_BINARY_DIR}/generated/res/app.ico)

list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
include(CPack)
