# Engine files (no Qt) go to tarven_core, window files to tarven_ui.
target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/celltable.h
  ${CMAKE_CURRENT_LIST_DIR}/celltable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixeltable.h
  ${CMAKE_CURRENT_LIST_DIR}/pixeltable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mtf.h
  ${CMAKE_CURRENT_LIST_DIR}/mtf.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form2.h
    ${CMAKE_CURRENT_LIST_DIR}/form2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form2_calc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/celltablemodel.h
    ${CMAKE_CURRENT_LIST_DIR}/celltablemodel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/chartfit.h
    ${CMAKE_CURRENT_LIST_DIR}/chartfit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_mtf.cpp
  )
endif()
