target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/rawload.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form1_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_save.cpp
  )
endif()
