list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/FontImagesTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TextImageTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MultiLinesImageTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TextDrawTest.cpp
)
