target_sources(tarven_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numeric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels.cpp
)
