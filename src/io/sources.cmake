target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/rawload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rawsave.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form1_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_save.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_presets.cpp
    ${CMAKE_CURRENT_LIST_DIR}/presets.h
    ${CMAKE_CURRENT_LIST_DIR}/presets.cpp
  )
endif()
