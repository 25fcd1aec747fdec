# Sources of core/hotkeys, relative to core/.
list(APPEND LOGIC_SOURCES
  hotkeys/HotkeyRecorder.cpp
  hotkeys/HotkeyRecordingPeriod.cpp
  hotkeys/HotkeyStateWatch.cpp
  hotkeys/RuleHotkeyCenter.cpp
)
list(APPEND WIDGET_SOURCES
  hotkeys/HotkeyRecorderView.cpp
)
