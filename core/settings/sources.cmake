# Sources of core/settings, relative to core/.
list(APPEND LOGIC_SOURCES
  settings/ConditionRowDraft.cpp
  settings/DefaultRuleDraft.cpp
  settings/RouteSettingsSummary.cpp
  settings/RuleDraft.cpp
)
list(APPEND WIDGET_SOURCES
  settings/AlwaysOpenEditorsTable.cpp
  settings/ApplicationChooserDialog.cpp
  settings/DefaultRuleEditorSheet.cpp
  settings/DesktopSettingsChoosers.cpp
  settings/EditorRowView.cpp
  settings/EditorsSettingsPage.cpp
  settings/ElidingLabel.cpp
  settings/EditorURLTemplateSheet.cpp
  settings/FileManagerActionsRow.cpp
  settings/GeneralSettingsPage.cpp
  settings/OrderSettingsPage.cpp
  settings/HistorySettingsBox.cpp
  settings/NotificationSettingsBox.cpp
  settings/PermissionTilesView.cpp
  settings/PredicateRowView.cpp
  settings/ReorderableList.cpp
  settings/RuleEditorSheet.cpp
  settings/RuleRowView.cpp
  settings/RulesSettingsPage.cpp
  settings/SettingsApplications.cpp
  settings/SettingsAppearance.cpp
  settings/SettingsControls.cpp
  settings/SettingsWindowController.cpp
  settings/StartAtLoginSwitch.cpp
  settings/RegistryRuleHotkeys.cpp
)
