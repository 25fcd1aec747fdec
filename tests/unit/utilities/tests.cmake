# External utilities: catalogs, file-manager actions, the runner and the checklist.
corvanta_test(test_utilities
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/UtilityParsersTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UtilityCatalogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UtilityRunnerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChecklistSheetTest.cpp
  LIBS QuaylithCore Qt6::Test)
