# Sources of core/selection, relative to core/.
list(APPEND LOGIC_SOURCES
  selection/SelectionHelperScript.cpp
  selection/ApplicationScriptsInstaller.cpp
  selection/FileManagerActionsInstaller.cpp
  selection/FileManagerActionsKeeper.cpp
  selection/SelectionScriptRunner.cpp
  selection/AXSelectionSource.cpp
  selection/FileSelectionResolver.cpp
  selection/FrontmostFileManagerSelectionSource.cpp
  selection/ScriptableFileManager.cpp
  selection/TCCPermissions.cpp
)
