# Sources of core/platform, relative to core/.
list(APPEND LOGIC_SOURCES
  platform/KeySymbols.cpp
  platform/LauncherProgram.cpp
  platform/PlatformTexts.cpp
  platform/ShortcutModifiers.cpp
  platform/StartupTimeline.cpp
)
