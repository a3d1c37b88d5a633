# Memory and typed streams, sealing, MD5, SHA-512, Ed25519, RC4 and data records.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/StreamTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TypedStreamTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SealTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Md5Test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Sha512Test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Ed25519Test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PackageSignatureTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Rc4Test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DataRecordsTest.cpp
)
