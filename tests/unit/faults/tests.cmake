# Faults and hostile input: damaged routes files, failing writes, hostile links
# and file names, on the fake platform with real files.
corvanta_test(test_faults
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StoreFaultsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostileLinksTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostileNamesTest.cpp
  LIBS QuaylithLogic)
