# Stops the build with a clear message when the native tool it needs is missing.
if(NOT EXISTS "${TOOL}")
  message(FATAL_ERROR "${TOOL} is missing: build the native preset first (cmake --preset native && cmake --build --preset native).")
endif()
