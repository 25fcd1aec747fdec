# Tests of core/pickers.
corvanta_test(test_picker_geometry
  SOURCES unit/pickers/RadialPickerGeometryTest.cpp)
corvanta_test(test_picker_logic
  SOURCES unit/pickers/PickerCandidatesTest.cpp unit/pickers/UtilityPerformerTest.cpp)
