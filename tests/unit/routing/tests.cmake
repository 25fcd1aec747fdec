# Routing: links, URL templates, opening in editors and the open pipeline.
corvanta_test(test_routing
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LinksAndTemplatesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoutingPipelineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDeciderTest.cpp
  LIBS QuaylithLogic)

# The delegate and the executable's pieces.
corvanta_test(test_app_shell
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AppShellTest.cpp
  LIBS CorvantaApp Qt6::Test)
