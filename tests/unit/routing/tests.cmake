# Routing: links, URL templates, opening in editors and the open pipeline.
corvanta_test(test_routing
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/OpenRequestParserTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/URLTemplateExpanderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorOpenerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoutingPipelineTest.cpp
  LIBS QuaylithLogic)
