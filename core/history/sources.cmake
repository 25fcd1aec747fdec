# Sources of core/history, relative to core/.
list(APPEND LOGIC_SOURCES
  history/RoutingHistory.cpp
  history/RoutingHistoryEntry.cpp
  history/RoutingHistoryFile.cpp
)
