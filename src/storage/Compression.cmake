# The compression methods: LZRB, LZRD, LZWB, the MaxLZ estimator and the size-prefixed container.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/CompressAlgorithm.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LZRCoder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LZRBCompress.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LZRDCompress.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LZWBCompress.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MaxLZCompress.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CompressedBlock.cpp
)
