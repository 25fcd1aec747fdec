# Tests of the real Linux ports. Each test process builds its own throw-away XDG
# home with test desktop entries and a private session bus (LinuxTestMain.cpp).
add_executable(corvanta_recorder support/corvanta_recorder.cpp)
target_link_libraries(corvanta_recorder PRIVATE corvanta_warnings)

# corvanta_sandbox_test(name SOURCES... LIBS...): such tests, with the recorder
# and the corvanta program built; labelled "integration".
function(corvanta_sandbox_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} integration/LinuxTestMain.cpp integration/LinuxSandbox.cpp ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest Qt6::DBus corvanta_warnings)
  target_compile_definitions(${name} PRIVATE QT_NO_KEYWORDS
    CORVANTA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>"
    CORVANTA_PATH="$<TARGET_FILE:corvanta>")
  add_dependencies(${name} corvanta_recorder corvanta)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS integration ENVIRONMENT "LC_ALL=C.UTF-8")
endfunction()

# The ports' implementations and the commands.
corvanta_sandbox_test(test_linux_platform SOURCES
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
  LIBS CorvantaLinux FakePlatform PkgConfig::GIO)

# The Linux implementations of the pickers' ports, in the sandboxed home of the
# Linux tests (private session bus, throw-away XDG folders).
corvanta_sandbox_test(test_picker_platform SOURCES integration/PickerPlatformTest.cpp
  LIBS CorvantaLinux Qt6::Test)

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
include(${CMAKE_CURRENT_LIST_DIR}/SettingsEndToEnd.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/TrayDrag.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WaylandEndToEnd.cmake)
