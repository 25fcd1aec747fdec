#pragma once

#include "core/settings/SettingsChoosers.h"

class Workspace;

// The desktop's file and folder dialogs (the portal's where the desktop has one)
// and the application chooser over the installed desktop entries.
class DesktopSettingsChoosers : public SettingsChoosers {
public:
    explicit DesktopSettingsChoosers(const Workspace& workspace);

    std::optional<QString> chooseFolder(QWidget* parent, const Request& request) override;
    std::optional<Application> chooseApplication(QWidget* parent, const Request& request) override;
    std::optional<QUrl> chooseFile(QWidget* parent, const Request& request) override;

private:
    const Workspace& m_workspace;
};
