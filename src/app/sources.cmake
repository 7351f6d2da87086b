if(TARVEN_BUILD_GUI)
  target_sources(tarven_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form1.h
    ${CMAKE_CURRENT_LIST_DIR}/form1.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form4.h
    ${CMAKE_CURRENT_LIST_DIR}/form4.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form5.h
    ${CMAKE_CURRENT_LIST_DIR}/form5.cpp
  )
endif()
