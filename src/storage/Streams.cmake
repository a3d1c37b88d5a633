# Memory and typed streams, sealing (RC4 and MD5), signatures (SHA-512 and Ed25519), data records and the table writer.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/FileIo.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MemStream.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TypedStream.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Rc4.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Md5.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Sha512.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Ed25519.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PackageSignature.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SealedStream.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DataRecords.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TableWriter.cpp
)
