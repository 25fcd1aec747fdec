# Sources of core/model, relative to core/.
list(APPEND LOGIC_SOURCES
  model/PickerUtility.cpp
  model/ExternalUtilityKind.cpp
  model/RuleEnums.cpp
  model/Rule.cpp
  model/RuleCodec.cpp
  model/Route.cpp
  model/JsonNode.cpp
  model/RoutesFileCodec.cpp
  model/LocalFileURL.cpp
  model/PathExtension.cpp
  model/RoutesFileLocation.cpp
  model/BuiltInRoutes.cpp
  model/LegacyPathRules.cpp
  model/EditorDiscovery.cpp
  model/FileTypeProbe.cpp
  model/RouteStore.cpp
  model/RoutesFileWatcher.cpp
  model/DefaultHandlerClaimer.cpp
  model/TypeTeacher.cpp
)
