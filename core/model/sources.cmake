# Sources of core/model, relative to core/.
list(APPEND LOGIC_SOURCES
  model/PickerUtility.cpp
  model/Route.cpp
  model/JsonNode.cpp
  model/RoutesFileCodec.cpp
)
