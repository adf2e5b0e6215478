# Bridger's resources come from res/resources.py: tools/resgen.py writes the headless
# backend's tables, the Windows resource script and the icons into BRIDGER_RES_DIR.
# Included by the platform directory that consumes them.
find_package(Python3 COMPONENTS Interpreter REQUIRED)

set(BRIDGER_RES_DIR ${CMAKE_BINARY_DIR}/generated/res)
set(BRIDGER_RES_ICONS
  ${BRIDGER_RES_DIR}/app.ico ${BRIDGER_RES_DIR}/light_off.ico
  ${BRIDGER_RES_DIR}/about.ico ${BRIDGER_RES_DIR}/light_on.ico)
set(BRIDGER_RES_TABLES ${BRIDGER_RES_DIR}/ResourceTables.cpp)
set(BRIDGER_RES_RC ${BRIDGER_RES_DIR}/Bridger.rc)
set(BRIDGER_RES_MANIFEST ${BRIDGER_RES_DIR}/Bridger.manifest)

add_custom_command(
  OUTPUT ${BRIDGER_RES_TABLES} ${BRIDGER_RES_RC} ${BRIDGER_RES_ICONS} ${BRIDGER_RES_MANIFEST}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/resgen.py ${CMAKE_SOURCE_DIR} ${BRIDGER_RES_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/resgen.py ${CMAKE_SOURCE_DIR}/res/resources.py
          ${CMAKE_SOURCE_DIR}/tools/resgen/__init__.py ${CMAKE_SOURCE_DIR}/tools/resgen/model.py ${CMAKE_SOURCE_DIR}/tools/resgen/cpp_tables.py ${CMAKE_SOURCE_DIR}/tools/resgen/rc_script.py ${CMAKE_SOURCE_DIR}/tools/resgen/icons.py
          ${CMAKE_SOURCE_DIR}/res/resource.h
  COMMENT "Generating the resources from res/resources.py"
  VERBATIM)
# The script names the icons and the manifest by path: windres does not report them as dependencies.
set_source_files_properties(${BRIDGER_RES_RC} PROPERTIES OBJECT_DEPENDS "${BRIDGER_RES_ICONS};${BRIDGER_RES_MANIFEST}")

# The generator's Windows output, checked on the build machine (compiled too where
# mingw's windres is installed).
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME resources.generator
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/resgen_test.py ${CMAKE_SOURCE_DIR})
endif()
