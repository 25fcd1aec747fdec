# Sources of core/pickers, relative to core/.
list(APPEND LOGIC_SOURCES
  pickers/PickerCandidates.cpp
  pickers/PickerUtilityAppearance.cpp
  pickers/RadialPickerGeometry.cpp
  pickers/UtilityPerformer.cpp
)
