target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/render.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form1_render.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_interaction.cpp
  )
endif()
