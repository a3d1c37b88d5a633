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

add_custom_target(distribution ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MARLOWEN_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Setup> $<TARGET_FILE:MarlowenApp> ${MARLOWEN_DIST_DIR}
  DEPENDS ${MARLOWEN_DIST_DIR}/Default.fs
  COMMENT "Assembling ${MARLOWEN_DIST_DIR}")
add_dependencies(distribution Setup MarlowenApp)
