if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/convert.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/memo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/imagecontrol.h
    ${CMAKE_CURRENT_LIST_DIR}/imagecontrol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets.h
  )
endif()
