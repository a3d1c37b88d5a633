list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/SkinLibraryTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DefaultSkinTest.cpp
)
