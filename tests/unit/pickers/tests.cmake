# Tests of core/pickers.
corvanta_test(test_picker_geometry
  SOURCES unit/pickers/RadialPickerGeometryTest.cpp)
corvanta_test(test_picker_logic
  SOURCES unit/pickers/PickerLogicTest.cpp)
corvanta_test(test_pickers
  SOURCES unit/pickers/EditorPickerWidgetsTest.cpp
  LIBS QuaylithCore Qt6::Test)

# Not a test: shows a picker and saves pictures of it (run under xvfb-run).
add_executable(picker_screenshot unit/pickers/PickerScreenshot.cpp)
target_link_libraries(picker_screenshot PRIVATE FakePlatform CorvantaLinux QuaylithCore corvanta_warnings)

# The Linux implementations of the pickers' ports, in the sandboxed home of the
# Linux tests (private session bus, throw-away XDG folders).
add_executable(test_picker_platform
  unit/pickers/PickerPlatformTest.cpp
  integration/LinuxTestMain.cpp
  integration/LinuxSandbox.cpp)
target_link_libraries(test_picker_platform PRIVATE
  CorvantaLinux GTest::gtest Qt6::DBus Qt6::Test corvanta_warnings)
target_compile_definitions(test_picker_platform PRIVATE QT_NO_KEYWORDS
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>")
add_dependencies(test_picker_platform corvanta_recorder)
gtest_discover_tests(test_picker_platform DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS integration ENVIRONMENT "LC_ALL=C.UTF-8")
