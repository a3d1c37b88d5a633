# 32-bit bitmaps, 8-bit masks and the pixel operations.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/Bitmap32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/BitmapDraw.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/BoxFilter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ScaledImage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Image8.cpp
)
