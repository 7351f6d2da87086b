# tarven-cli: the headless command. The command layer uses the engines only;
# Qt encodes the display image and draws the charts of --plot offscreen.
add_executable(tarven-cli
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli.h
  ${CMAKE_CURRENT_LIST_DIR}/cli.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qtservices.h
  ${CMAKE_CURRENT_LIST_DIR}/qtservices.cpp
)
target_link_libraries(tarven-cli PRIVATE tarven_core Qt6::Widgets Qt6::Charts)

if(TARVEN_BUILD_TESTS)
  include(${CMAKE_CURRENT_LIST_DIR}/../../tests/cli/tests.cmake)
endif()
