# The PNG writer and the screen render of `fstool render`, built into the test itself.
find_package(PNG REQUIRED)
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/PngWriterTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ScreenRenderTest.cpp
  ${PROJECT_SOURCE_DIR}/tools/fstool/PngWriter.cpp
  ${PROJECT_SOURCE_DIR}/tools/fstool/PngSource.cpp
  ${PROJECT_SOURCE_DIR}/tools/fstool/ScreenRender.cpp
)
list(APPEND libraries marlowen_skin marlowen_platform_headless PNG::PNG)
