# The distribution folder of the Windows build: Setup.exe, the product executable (a stand-in
# for now) and the default skin's pack, which the native fstool builds (Debian has no Windows
# builds of the XML, PNG and font libraries). Installing copies this folder.
set(MARLOWEN_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "The distribution folder")
set(MARLOWEN_HOST_FSTOOL ${PROJECT_SOURCE_DIR}/build/native/tools/fstool/fstool
    CACHE FILEPATH "A native fstool that can build packs")

file(GLOB_RECURSE default_skin_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/skins/default/*)
# A rebuilt tool may pack differently; a missing one is reported by RequireHostTool instead.
set(host_fstool_dependency "")
if(EXISTS ${MARLOWEN_HOST_FSTOOL})
  set(host_fstool_dependency ${MARLOWEN_HOST_FSTOOL})
endif()
add_custom_command(
  OUTPUT ${MARLOWEN_DIST_DIR}/Default.fs
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MARLOWEN_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -DTOOL=${MARLOWEN_HOST_FSTOOL} -P ${PROJECT_SOURCE_DIR}/cmake/RequireHostTool.cmake
  COMMAND ${MARLOWEN_HOST_FSTOOL} pack ${PROJECT_SOURCE_DIR}/skins/default ${MARLOWEN_DIST_DIR}/Default.fs
  DEPENDS ${default_skin_sources} ${host_fstool_dependency}
  COMMENT "Packing the default skin with the native fstool"
  VERBATIM)

# The pack alone, for the tests that start the skin from it.
add_custom_target(default_skin DEPENDS ${MARLOWEN_DIST_DIR}/Default.fs)

# The programs ship stripped; their symbols and debug information stay beside the build, in
# SYMBOLS/NAME.debug, which the shipped file names (.gnu_debuglink) and which resolves the addresses
# of a crash report (README, "Crash reports").
set(MARLOWEN_SYMBOLS_DIR ${CMAKE_BINARY_DIR}/symbols)
set(ship_commands "")
foreach(program Setup MarlowenApp)
  list(APPEND ship_commands
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${program}> ${MARLOWEN_SYMBOLS_DIR}/${program}.exe.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${MARLOWEN_SYMBOLS_DIR}/${program}.exe.debug
            $<TARGET_FILE:${program}> ${MARLOWEN_DIST_DIR}/${program}.exe)
endforeach()
add_custom_target(distribution ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MARLOWEN_DIST_DIR} ${MARLOWEN_SYMBOLS_DIR}
  ${ship_commands}
  DEPENDS ${MARLOWEN_DIST_DIR}/Default.fs
  COMMENT "Assembling ${MARLOWEN_DIST_DIR}: the programs stripped, their symbols in ${MARLOWEN_SYMBOLS_DIR}"
  VERBATIM)
add_dependencies(distribution Setup MarlowenApp)
