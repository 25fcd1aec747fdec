# Tests of the real Linux ports. Each test process builds its own throw-away XDG
# home with test desktop entries and a private session bus (LinuxTestMain.cpp).
add_executable(corvanta_recorder support/corvanta_recorder.cpp)
target_link_libraries(corvanta_recorder PRIVATE corvanta_warnings)

add_executable(test_linux_platform
  integration/LinuxTestMain.cpp
  integration/LinuxSandbox.cpp
  integration/AlertsAndShortcutsTest.cpp
  integration/AutostartEntryTest.cpp
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
  CorvantaLinux FakePlatform GTest::gtest GTest::gmock Qt6::DBus PkgConfig::GIO
  corvanta_warnings)
target_compile_definitions(test_linux_platform PRIVATE QT_NO_KEYWORDS
  CORVANTA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>"
  CORVANTA_PATH="$<TARGET_FILE:corvanta>")
add_dependencies(test_linux_platform corvanta_recorder corvanta)
# Labelled "integration": they run the real GIO, D-Bus and /proc in a sandboxed home.
gtest_discover_tests(test_linux_platform DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS integration ENVIRONMENT "LC_ALL=C.UTF-8")

include(${CMAKE_CURRENT_LIST_DIR}/PickerEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OwnershipEndToEnd.cmake)

# The shortcut registry on a real X server, keys sent with xdotool.
add_executable(test_x11_shortcuts integration/X11ShortcutRegistryTest.cpp)
target_link_libraries(test_x11_shortcuts PRIVATE CorvantaLinux GTest::gtest corvanta_warnings)
add_test(NAME x11_shortcuts COMMAND xvfb-run -a -n 120 $<TARGET_FILE:test_x11_shortcuts>)
set_tests_properties(x11_shortcuts PROPERTIES LABELS "integration" TIMEOUT 120
  ENVIRONMENT "LC_ALL=C.UTF-8")
include(${CMAKE_CURRENT_LIST_DIR}/SelectionEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/SettingsEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/TrayDrag.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WaylandEndToEnd.cmake)
