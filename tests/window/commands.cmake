# The window's commands (open, transport, position display, jumps), its number text and its
# Qt message box and file dialog, and what the remote reads of it, against fake players.
add_executable(window_commands_tests
  regional_number_test.cpp
  transport_jumps_test.cpp
  open_test.cpp
  copy_time_test.cpp
  qt_dialogs_test.cpp
  follow_test.cpp
  offset_test.cpp
  speed_test.cpp
  window_transport_test.cpp
  stored_controls_test.cpp
  ${CMAKE_SOURCE_DIR}/app/WindowTransport.cpp
  ${CMAKE_SOURCE_DIR}/app/StoredControls.cpp
)
target_include_directories(window_commands_tests PRIVATE ${CMAKE_SOURCE_DIR}/app)
target_link_libraries(window_commands_tests PRIVATE window window_test_main test_support remote)
# The fixture reads the controls through the header generated from frm1.ui.
target_include_directories(window_commands_tests PRIVATE
  $<TARGET_PROPERTY:window,BINARY_DIR>/window_autogen/include)
gtest_discover_tests(window_commands_tests DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
  PROPERTIES LABELS unit ENVIRONMENT QT_QPA_PLATFORM=offscreen)
