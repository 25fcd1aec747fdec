corvanta_test(test_engine
  SOURCES
    unit/engine/RuleEvaluatorTest.cpp
    unit/engine/RoutingDecisionTest.cpp
)
