# Faults and hostile input: damaged routes files, failing writes, hostile links
# and file names, on the fake platform with real files.
corvanta_test(test_faults
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StoreFaultsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostileLinksTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostileNamesTest.cpp
  LIBS QuaylithLogic)

# The same faults for real: the corvanta program, GIO and a private session bus
# in the sandboxed home of the integration tests, with the recorder as editor.
add_executable(test_faults_linux
  ${CMAKE_CURRENT_LIST_DIR}/../../integration/LinuxTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../integration/LinuxSandbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxFaultsTest.cpp
)
target_link_libraries(test_faults_linux PRIVATE
  QuaylithLogic GTest::gtest Qt6::DBus corvanta_warnings)
target_include_directories(test_faults_linux PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(test_faults_linux PRIVATE
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>"
  CORVANTA_PATH="$<TARGET_FILE:corvanta>")
add_dependencies(test_faults_linux corvanta_recorder corvanta)
gtest_discover_tests(test_faults_linux DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS integration ENVIRONMENT "LC_ALL=C.UTF-8")
