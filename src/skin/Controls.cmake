# The control base, the graph container, the element registry and the controls.
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/SkinContext.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DisplayScale.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PaintContext.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphControl.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/AccessKey.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/AccessibleDescriptions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphAccessibleTree.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphContainer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphElementRegistry.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphConditions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphButtons.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphCheckBoxes.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphImages.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphLabels.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphMultiLine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphLists.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphEdits.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphFrames.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphProgressBar.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphScrollers.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphTrackBars.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphWindows.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HintWindow.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FormGraphWindow.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphCards.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphMenuKeyboard.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphMenus.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PopupMenu.cpp
)
list(APPEND sources
  ${CMAKE_CURRENT_SOURCE_DIR}/GraphComboBoxes.cpp
)
