# Tests of core/pickers.
corvanta_test(test_picker_geometry
  SOURCES unit/pickers/RadialPickerGeometryTest.cpp)
corvanta_test(test_picker_logic
  SOURCES unit/pickers/PickerCandidatesTest.cpp unit/pickers/UtilityPerformerTest.cpp
          unit/pickers/ListPickerRowsTest.cpp)
corvanta_test(test_pickers
  SOURCES unit/pickers/RadialEditorPickerTest.cpp unit/pickers/ListEditorPickerTest.cpp
          unit/pickers/WidgetPickerPresenterTest.cpp unit/pickers/PickerTestSupport.cpp
  LIBS QuaylithCore Qt6::Test)

# Not a test: shows a picker and saves pictures of it (run under xvfb-run).
add_executable(picker_screenshot unit/pickers/PickerScreenshot.cpp)
target_link_libraries(picker_screenshot PRIVATE FakePlatform QuaylithCore corvanta_warnings)
