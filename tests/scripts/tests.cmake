# The project's own checks, run on the real tree, and the layering check's own cases.
add_test(NAME layering COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-layering.sh ${PROJECT_SOURCE_DIR})
add_test(NAME layering_check_cases COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/CheckLayeringTest.sh)
set_tests_properties(layering layering_check_cases PROPERTIES LABELS no-sanitizer)
add_test(NAME manual_and_completions COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/ManualAndCompletionsTest.sh
  $<TARGET_FILE:corvanta> ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/data/corvanta.1.gz)
set_tests_properties(manual_and_completions PROPERTIES LABELS no-sanitizer)
