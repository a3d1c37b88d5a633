list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/DisplayScaleTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ScaledContainerTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphControlTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphContainerTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphConditionsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphAccessibleTreeTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphButtonsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphCheckBoxesTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphLabelsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphImagesTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphListsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphEditsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphFramesTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphProgressBarTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphScrollersTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphTrackBarsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphWindowsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FormGraphWindowTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphCardsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphMenusTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/KeyboardTest.cpp
)
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphComboBoxesTest.cpp
)
