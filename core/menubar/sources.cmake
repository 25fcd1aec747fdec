# Sources of core/menubar, relative to core/.
list(APPEND LOGIC_SOURCES
  menubar/DropAcceptance.cpp
  menubar/DropPalettePlacement.cpp
  menubar/LaunchPresentation.cpp
  menubar/MenuBarActivation.cpp
  menubar/MenuBarDropController.cpp
  menubar/OnboardingGeometry.cpp
  menubar/OnboardingSteps.cpp
)
list(APPEND WIDGET_SOURCES
  menubar/DropPalettePanel.cpp
  menubar/DropZoneView.cpp
  menubar/MainMenuController.cpp
  menubar/OnboardingArrowPanel.cpp
  menubar/OnboardingWindowController.cpp
  menubar/RecentlyRoutedMenu.cpp
  menubar/StatusMenu.cpp
  menubar/TrayController.cpp
  menubar/WhyRoutedWindow.cpp
  menubar/WindowPresenter.cpp
)
