# External utilities: catalogs, file-manager actions, the runner and the checklist.
corvanta_test(test_utilities
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/UtilityParsersTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UtilityCatalogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UtilityRunnerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChecklistSheetTest.cpp
  LIBS QuaylithCore Qt6::Test)

# Not a test: shows the checklist sheet and saves a picture of it (run under xvfb-run).
add_executable(checklist_screenshot unit/utilities/ChecklistScreenshot.cpp)
target_link_libraries(checklist_screenshot PRIVATE QuaylithCore corvanta_warnings)
target_include_directories(checklist_screenshot PRIVATE ${PROJECT_SOURCE_DIR})
