# Selection: the resolver, its sources and the permission probes, on fakes.
corvanta_test(test_selection
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PermissionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectionResolverTest.cpp
  LIBS QuaylithLogic)

# The delegate's hotkey path and its selection flags.
corvanta_test(test_selection_delegate
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DelegateSelectionTest.cpp
  LIBS QuaylithCore)
