list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/XMLNodeTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ResourcesTest.cpp
)
