target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/roi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autowindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/offsets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/background.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile.cpp
)
if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form1_render.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_interaction.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_roi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1_profile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mouserouter.h
  )
endif()
