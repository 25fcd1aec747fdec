# Sources of core/fileactions, relative to core/.
list(APPEND LOGIC_SOURCES
  fileactions/DesktopKeyFile.cpp
  fileactions/FileManagerAction.cpp
  fileactions/KdeServiceMenuFile.cpp
  fileactions/NautilusScriptsFolder.cpp
  fileactions/NemoActionFile.cpp
  fileactions/ThunarActionsFile.cpp
  fileactions/XdgFolders.cpp
)
