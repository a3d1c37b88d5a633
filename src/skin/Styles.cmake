# Text styles and the skin start-up.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/SkinLibrary.cpp
)
