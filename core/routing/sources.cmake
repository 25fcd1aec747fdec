# Sources of core/routing, relative to core/.
list(APPEND LOGIC_SOURCES
  routing/BeepNotifier.cpp
  routing/EditorGroup.cpp
  routing/EditorOpener.cpp
  routing/FileDecider.cpp
  routing/OpenRequestParser.cpp
  routing/RoutingPipeline.cpp
  routing/SecurityScope.cpp
  routing/URLTemplateExpander.cpp
  routing/WhyRoutedText.cpp
)
list(APPEND WIDGET_SOURCES
  routing/AppDelegate.cpp
  routing/DialogAlerts.cpp
)
