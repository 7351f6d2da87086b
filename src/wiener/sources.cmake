# Engine files (no Qt) go to tarven_core, window files to tarven_ui.
target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/spectrum.h
  ${CMAKE_CURRENT_LIST_DIR}/spectrum.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form3.h
    ${CMAKE_CURRENT_LIST_DIR}/form3.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_wiener.cpp
  )
endif()
