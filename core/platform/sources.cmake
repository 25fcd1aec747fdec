# Sources of core/platform, relative to core/.
list(APPEND LOGIC_SOURCES platform/PlatformTexts.cpp platform/ShortcutModifiers.cpp)
