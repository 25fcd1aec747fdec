# The routing history: entries, its file, the instance's keeper.
corvanta_test(test_history
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RoutingHistoryTest.cpp
  LIBS QuaylithLogic)
