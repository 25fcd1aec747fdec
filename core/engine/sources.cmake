# Sources of core/engine, relative to core/.
list(APPEND LOGIC_SOURCES
  engine/RuleEnums.cpp
  engine/Rule.cpp
  engine/RuleCodec.cpp
)
