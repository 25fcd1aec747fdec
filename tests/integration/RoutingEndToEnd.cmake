# End to end: Corvanta installed into the throw-away home's prefix, driven by
# `gio open`, `corvanta open` and D-Bus, observed through recorder editors.
add_executable(test_routing_e2e
  ${CMAKE_CURRENT_LIST_DIR}/RoutingEndToEndTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxSandbox.cpp
)
target_link_libraries(test_routing_e2e PRIVATE
  CorvantaLinux GTest::gtest Qt6::DBus corvanta_warnings)
target_compile_definitions(test_routing_e2e PRIVATE QT_NO_KEYWORDS
  CORVANTA_BINARY_DIR="${PROJECT_BINARY_DIR}"
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>")
add_dependencies(test_routing_e2e corvanta_recorder corvanta)
gtest_discover_tests(test_routing_e2e DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS "integration;e2e" ENVIRONMENT "LC_ALL=C.UTF-8" TIMEOUT 120)
