# Sources of app/ (all but the mains and the early hand-off), relative to this folder.
list(APPEND APP_SOURCES
  ApplicationService.cpp
  ApplicationShell.cpp
  CheckCommand.cpp
  CommandLine.cpp
  DistributionBootstrap.cpp
  ExplainCommand.cpp
  FileExplainer.cpp
  InstallActionsCommand.cpp
  LogCommand.cpp
  RoutesCommand.cpp
  RoutesFileOwner.cpp
  SelectionCommand.cpp
  SingleInstance.cpp
  StoreLoadReport.cpp
  TeachCommand.cpp
  TerminalPickerPresenter.cpp
)
