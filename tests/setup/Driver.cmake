# Tests of the setup driver, its install and uninstall flows, the system integration and the entry.
list(APPEND sources
  ${CMAKE_CURRENT_LIST_DIR}/SystemIntegrationTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstallTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstallRollbackTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UninstallTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SetupEntryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WizardTest.cpp
)
