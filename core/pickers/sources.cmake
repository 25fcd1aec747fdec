# Sources of core/pickers, relative to core/.
list(APPEND LOGIC_SOURCES
  pickers/DefaultTerminal.cpp
  pickers/ListPickerRows.cpp
  pickers/PickerCandidates.cpp
  pickers/PickerUtilityAppearance.cpp
  pickers/RadialPickerGeometry.cpp
  pickers/UtilityPerformer.cpp
)
list(APPEND WIDGET_SOURCES
  pickers/ListEditorPicker.cpp
  pickers/ListPickerItemDelegate.cpp
  pickers/ListPickerTable.cpp
  pickers/PickerIcons.cpp
  pickers/RadialEditorPicker.cpp
  pickers/RadialEditorPickerView.cpp
  pickers/RadialPickerAccessible.cpp
  pickers/RadialSliceAccessible.cpp
  pickers/WidgetPickerPresenter.cpp
)
