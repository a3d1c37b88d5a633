# Bitmap fonts, text runs, multi-line layout and text drawing.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/FontImages.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TextImage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MultiLinesImage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TextDraw.cpp
)
