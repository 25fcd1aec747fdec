# Tests of the real Linux ports. Each test process builds its own throw-away XDG
# home with test desktop entries and a private session bus (LinuxTestMain.cpp).
add_executable(corvanta_recorder support/corvanta_recorder.cpp)
target_link_libraries(corvanta_recorder PRIVATE corvanta_warnings)

add_executable(test_linux_platform
  integration/LinuxTestMain.cpp
  integration/LinuxSandbox.cpp
  integration/AlertsAndShortcutsTest.cpp
  integration/BusPeer.cpp
  integration/CommandsTest.cpp
  integration/DesktopSettingsTest.cpp
  integration/FileMetadataTest.cpp
  integration/PortalShortcutsTest.cpp
  integration/PreferencesTest.cpp
  integration/ProcessRunnerTest.cpp
  integration/UtilityRunsTest.cpp
  integration/RunningApplicationsTest.cpp
  integration/SessionBusPortsTest.cpp
  integration/TypeSystemTest.cpp
  integration/WorkspaceTest.cpp
)
target_link_libraries(test_linux_platform PRIVATE
  CorvantaLinux FakePlatform GTest::gtest Qt6::DBus PkgConfig::GIO
  corvanta_warnings)
target_compile_definitions(test_linux_platform PRIVATE QT_NO_KEYWORDS
  CORVANTA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>"
  CORVANTA_PATH="$<TARGET_FILE:corvanta>")
add_dependencies(test_linux_platform corvanta_recorder corvanta)
# Labelled "integration": they run the real GIO, D-Bus and /proc in a sandboxed home.
gtest_discover_tests(test_linux_platform DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS integration ENVIRONMENT "LC_ALL=C.UTF-8")

# The same faults for real: the corvanta program, GIO and a private session bus
# in the sandboxed home of the integration tests, with the recorder as editor.
add_executable(test_faults_linux
  integration/LinuxTestMain.cpp
  integration/LinuxSandbox.cpp
  integration/LinuxFaultsTest.cpp
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

# The Linux implementations of the pickers' ports, in the sandboxed home of the
# Linux tests (private session bus, throw-away XDG folders).
add_executable(test_picker_platform
  integration/PickerPlatformTest.cpp
  integration/LinuxTestMain.cpp
  integration/LinuxSandbox.cpp)
target_link_libraries(test_picker_platform PRIVATE
  CorvantaLinux GTest::gtest Qt6::DBus Qt6::Test corvanta_warnings)
target_compile_definitions(test_picker_platform PRIVATE QT_NO_KEYWORDS
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>")
add_dependencies(test_picker_platform corvanta_recorder)
gtest_discover_tests(test_picker_platform DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS integration ENVIRONMENT "LC_ALL=C.UTF-8")

include(${CMAKE_CURRENT_LIST_DIR}/RoutingEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/PickerEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OwnershipEndToEnd.cmake)

# The shortcut registry on a real X server, keys sent with xdotool.
add_executable(test_x11_shortcuts integration/X11ShortcutRegistryTest.cpp)
target_link_libraries(test_x11_shortcuts PRIVATE CorvantaLinux GTest::gtest corvanta_warnings)
add_test(NAME x11_shortcuts COMMAND xvfb-run -a -n 120 $<TARGET_FILE:test_x11_shortcuts>)
set_tests_properties(x11_shortcuts PROPERTIES LABELS "integration" TIMEOUT 120
  ENVIRONMENT "LC_ALL=C.UTF-8")
include(${CMAKE_CURRENT_LIST_DIR}/SelectionEndToEnd.cmake)

# The Thunar selection helper against a real Thunar: its own X server and
# session bus (Thunar needs xfconf), started by the test command.
add_executable(test_selection_thunar ${CMAKE_CURRENT_LIST_DIR}/SelectionHelperThunarTest.cpp)
target_link_libraries(test_selection_thunar PRIVATE
  CorvantaLinux GTest::gtest_main corvanta_warnings)
add_test(NAME selection_thunar COMMAND xvfb-run -a -n 130 -s "-screen 0 1280x800x24"
  dbus-run-session -- $<TARGET_FILE:test_selection_thunar>)
set_tests_properties(selection_thunar PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;GSK_RENDERER=cairo" TIMEOUT 120)
include(${CMAKE_CURRENT_LIST_DIR}/SettingsEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/TrayDrag.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WaylandEndToEnd.cmake)
