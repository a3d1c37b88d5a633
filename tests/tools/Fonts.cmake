# The font rasteriser of `fstool pack` (FreeType), built into the test itself.
find_package(Freetype REQUIRED)
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/FontSourceTest.cpp
  ${PROJECT_SOURCE_DIR}/tools/fstool/FontSource.cpp
)
list(APPEND libraries marlowen_skin Freetype::Freetype)
