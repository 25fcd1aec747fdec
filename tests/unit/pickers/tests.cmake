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
