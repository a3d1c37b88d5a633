list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/BitmapTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/BitmapDrawTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImageVariantsTest.cpp
)
