# Memory and typed streams, sealing, MD5, RC4 and data records.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/StreamTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TypedStreamTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SealTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Md5Test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Rc4Test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DataRecordsTest.cpp
)
