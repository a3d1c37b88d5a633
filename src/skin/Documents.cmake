# Stored XML documents and the resource packs that carry them.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/XMLNode.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/XMLAttributeValue.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Resources.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PackWriter.cpp
)
