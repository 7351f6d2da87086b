# Engine files (no Qt) go to tarven_core, window files to tarven_ui.
target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dictionary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dictionary_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/walk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/anonymise.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form1_dicom.cpp
  )
endif()
