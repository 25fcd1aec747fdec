# The project's own checks, run on the real tree, and the layering check's own cases.
add_test(NAME layering COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-layering.sh ${PROJECT_SOURCE_DIR})
add_test(NAME layering_check_cases COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/CheckLayeringTest.sh)
set_tests_properties(layering layering_check_cases PROPERTIES LABELS no-sanitizer)
