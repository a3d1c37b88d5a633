# The setup driver, its install and uninstall flows, the system integration and the entry.
list(APPEND sources
  ${CMAKE_CURRENT_LIST_DIR}/SetupTexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemIntegration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateLevel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstallJournal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CustomSetupModule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SetupModule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SetupEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameSetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SetupPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormSetup.cpp
)
