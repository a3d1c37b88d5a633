# The executable resource reader of `fstool keys`, built into the test itself.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/PeResourcesTest.cpp
  ${PROJECT_SOURCE_DIR}/tools/fstool/PeResources.cpp
)
