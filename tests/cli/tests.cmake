# End-to-end tests of tarven-cli: they run the built command on small files
# they write and check what it prints, its exit status, its messages and the
# files it leaves. tst_cli_windows drives the windows on the same files and
# compares their texts with the command's.
set(TARVEN_CLI_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
foreach(name tst_cli tst_cli_windows)
  if(NOT EXISTS ${TARVEN_CLI_TEST_DIR}/${name}.cpp)
    continue()
  endif()
  add_executable(${name} ${TARVEN_CLI_TEST_DIR}/${name}.cpp ${TARVEN_CLI_TEST_DIR}/fixtures.h)
  target_include_directories(${name} PRIVATE ${TARVEN_CLI_TEST_DIR}/.. ${TARVEN_CLI_TEST_DIR})
  target_compile_definitions(${name} PRIVATE TARVEN_CLI="$<TARGET_FILE:tarven-cli>"
    TARVEN_SAMPLES="$<TARGET_FILE:tarven-samples>" TARVEN_TEST_DATA_DIR="${TARVEN_CLI_TEST_DIR}/../data")
  add_dependencies(${name} tarven-cli tarven-samples)
  add_test(NAME cli.${name} COMMAND ${name})
  set_tests_properties(cli.${name} PROPERTIES LABELS ui TIMEOUT 600
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVEN_PRESET_DIR=${CMAKE_CURRENT_BINARY_DIR}/presets/${name}")
endforeach()
if(TARGET tst_cli)
  target_link_libraries(tst_cli PRIVATE tarven_sanitizers Qt6::Test Qt6::Gui)
endif()
if(TARGET tst_cli_windows)
  target_link_libraries(tst_cli_windows PRIVATE tarven_ui_test_support)
endif()
