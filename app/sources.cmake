# Sources of app/ (all but main.cpp), relative to this folder.
list(APPEND APP_SOURCES
  CheckCommand.cpp
  CommandLine.cpp
)
