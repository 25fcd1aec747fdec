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
