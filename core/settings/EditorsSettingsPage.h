#pragma once

#include "core/model/PickerUtility.h"
#include "core/platform/Platform.h"
#include "core/settings/SettingsPage.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QHash>
#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class RouteStore;
class SettingsApplications;
class SettingsChoosers;

// The editors tab: the route's editors with their switches, the picker's
// utilities and the terminal they use, and the external utilities' checklists.
class EditorsSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    EditorsSettingsPage(RouteStore& store, const Platform& platform, SettingsChoosers& choosers,
                        const SettingsApplications& applications,
                        std::function<bool()> usesApplicationScripts, QWidget* parent = nullptr);

    void reload(const Route& route) override;

Q_SIGNALS:
    void editTemplateRequested(const QString& routeID, const QString& bundleID);

private:
    void addApp();
    void removeEditor();
    void chooseTerminal();
    void updateEditorButtons();
    void reloadEditors(const Route& route);
    void reloadUtilities(const Route& route);
    void reloadTerminal(const Route& route);
    // The editor of the current row as the store holds it now.
    std::optional<Editor> currentEditor() const;
    bool usesApplicationScripts() const;

    RouteStore& m_store;
    Platform m_platform;
    SettingsChoosers& m_choosers;
    const SettingsApplications& m_applications;
    std::function<bool()> m_usesApplicationScripts;
    QString m_routeID;

    QListWidget* m_editorsTable = nullptr;
    QPushButton* m_removeEditorButton = nullptr;
    QHash<PickerUtilityKind, QCheckBox*> m_utilityEnabledBoxes;
    QComboBox* m_terminalPopup = nullptr;
    QPushButton* m_chooseTerminalButton = nullptr;
    QPushButton* m_scriptsFolderButton = nullptr;
};
