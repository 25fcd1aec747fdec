# Sources of core/menubar, relative to core/.
list(APPEND LOGIC_SOURCES
  menubar/MenuBarActivation.cpp
)
list(APPEND WIDGET_SOURCES
  menubar/MainMenuController.cpp
  menubar/WindowPresenter.cpp
)
