# Sources of core/utilities, relative to core/.
list(APPEND LOGIC_SOURCES utilities/ExternalUtilityRef.cpp)
list(APPEND LOGIC_SOURCES
  utilities/ActionCommandLine.cpp
  utilities/CatalogEntry.cpp
  utilities/ExecCommandLine.cpp
  utilities/ExternalUtilityCatalog.cpp
  utilities/ExternalUtilityRunner.cpp
  utilities/FileManagerActions.cpp
)
list(APPEND WIDGET_SOURCES utilities/ExternalUtilityChecklistSheet.cpp)
