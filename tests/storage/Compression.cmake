# Tests of the compression methods and the size-prefixed container.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/LZRCompressTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LZWBCompressTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MaxLZCompressTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CompressedBlockTest.cpp
)
