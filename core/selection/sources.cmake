# Sources of core/selection, relative to core/.
list(APPEND LOGIC_SOURCES
  selection/SelectionHelperScript.cpp
  selection/ApplicationScriptsInstaller.cpp
  selection/SelectionScriptRunner.cpp
)
