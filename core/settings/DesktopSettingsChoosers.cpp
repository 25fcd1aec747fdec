#include "core/settings/DesktopSettingsChoosers.h"

#include "core/settings/ApplicationChooserDialog.h"

#include <QDir>
#include <QFileDialog>

DesktopSettingsChoosers::DesktopSettingsChoosers(const Workspace& workspace)
    : m_workspace(workspace) {}

std::optional<QString> DesktopSettingsChoosers::chooseFolder(QWidget* parent,
                                                             const Request& request) {
    QFileDialog dialog(parent, request.title,
                       request.directory.isEmpty() ? QDir::homePath() : request.directory);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!request.prompt.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, request.prompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<SettingsChoosers::Application>
DesktopSettingsChoosers::chooseApplication(QWidget* parent, const Request& request) {
    ApplicationChooserDialog dialog(m_workspace.installedApplications(), request.prompt,
                                    request.message, parent);
    if (!request.title.isEmpty())
        dialog.setWindowTitle(request.title);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const std::optional<InstalledApplication> chosen = dialog.selectedApplication();
    // An entry without an ID cannot be stored.
    if (!chosen || chosen->bundleID.isEmpty())
        return std::nullopt;
    return Application{chosen->bundleID, chosen->name};
}

std::optional<QUrl> DesktopSettingsChoosers::chooseFile(QWidget* parent, const Request& request) {
    QFileDialog dialog(parent, request.title.isEmpty() ? request.message : request.title,
                       QDir::homePath());
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!request.prompt.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, request.prompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return std::nullopt;
    return dialog.selectedUrls().first();
}
