# Sources of core/engine, relative to core/.
list(APPEND LOGIC_SOURCES
  engine/CaseInsensitiveText.cpp
  engine/RuleEvaluator.cpp
  engine/OpenContextBuilder.cpp
  engine/ActionResolver.cpp
  engine/RoutingDecision.cpp
  engine/RuleDescriptions.cpp
)
