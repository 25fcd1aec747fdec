#include "core/settings/FileManagerActionsRow.h"

#include "core/fileactions/XdgFolders.h"
#include "core/model/RouteStore.h"
#include "core/platform/Alerts.h"
#include "core/platform/LauncherProgram.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/ShortcutRegistry.h"
#include "core/settings/SettingsControls.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
namespace texts = PlatformTexts::Linux;

QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

// "~/…" reads better than the whole home folder in every line.
QString shortened(const QString& path) {
    const QString home = QDir::homePath();
    if (home.size() > 1 && path.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + path.mid(home.size());
    return path;
}

// "A", "A and B", "A, B and C": the sentence around it is English.
QString spokenList(const QStringList& names) {
    if (names.size() < 2)
        return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           names.last();
}

void section(QStringList& lines, const char* heading, const QStringList& entries,
             bool paths = true) {
    if (entries.isEmpty())
        return;
    if (!lines.isEmpty())
        lines << QString();
    lines << tr8(heading);
    for (const QString& entry : entries)
        lines << (paths ? shortened(entry) : entry);
}
} // namespace

FileManagerActionsRow::FileManagerActionsRow(RouteStore& store, ShortcutRegistry& shortcuts,
                                             Alerts& alerts, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_shortcuts(shortcuts)
    , m_alerts(alerts) {
    setObjectName(QStringLiteral("fileManagerActionsRow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    m_button = new QPushButton(this);
    m_button->setObjectName(QStringLiteral("fileManagerActionsButton"));
    connect(m_button, &QPushButton::clicked, this, &FileManagerActionsRow::activated);
    row->addWidget(m_button);
    row->addStretch();
    layout->addLayout(row);
    if (m_shortcuts.desktopConfirmsBindings()) {
        m_bindingsNote = SettingsControls::hintLabel(tr8(texts::confirmsBindingsNote), this);
        m_bindingsNote->setObjectName(QStringLiteral("confirmsBindingsNoteLabel"));
        layout->addWidget(m_bindingsNote);
    }
    refresh();
}

std::optional<FileManagerActionsInstaller> FileManagerActionsRow::installer() const {
    const std::optional<XdgFolders> folders = XdgFolders::fromEnvironment();
    if (!folders)
        return std::nullopt;
    return FileManagerActionsInstaller(*folders, LauncherProgram::path());
}

void FileManagerActionsRow::refresh() {
    const std::optional<FileManagerActionsInstaller> actions = installer();
    const bool installed = actions && actions->hasInstalled();
    m_button->setText(
        tr8(installed ? texts::removeFileManagerActions : texts::installFileManagerActions));
    m_button->setToolTip(
        tr8(installed ? texts::removeFileManagerActionsTip : texts::installFileManagerActionsTip));
    m_button->setEnabled(actions.has_value());
}

void FileManagerActionsRow::activated() {
    std::optional<FileManagerActionsInstaller> actions = installer();
    if (!actions)
        return;
    if (actions->hasInstalled())
        remove(*actions);
    else
        install(*actions);
    refresh();
}

void FileManagerActionsRow::install(FileManagerActionsInstaller& installer) {
    AlertRequest alert;
    alert.style = AlertRequest::Style::informational;
    // Without the user's rules every action of ours would look stale.
    if (m_store.loadFailed()) {
        alert.messageText = tr8(texts::routesUnreadableTitle);
        alert.informativeText = tr8(texts::routesUnreadableText);
        m_alerts.runAlert(alert);
        return;
    }
    const FileManagerActionsInstaller::Targets targets =
        FileManagerActionsInstaller::installedFileManagers();
    const qsizetype rules =
        FileManagerActionsInstaller::rulesWithHotkeys(m_store.routes(), m_shortcuts).size();
    if (!targets.any() || rules == 0) {
        alert.messageText = tr8(targets.any() ? texts::noHotkeyTitle : texts::noFileManagerTitle);
        alert.informativeText = tr8(targets.any() ? texts::noHotkeyText : texts::noFileManagerText);
        m_alerts.runAlert(alert);
        return;
    }
    alert.messageText = tr8(texts::confirmInstallTitle);
    alert.informativeText =
        tr8(texts::confirmInstallText).arg(spokenList(targets.names())).arg(rules);
    alert.buttons = {tr8(texts::installButton), tr8(texts::cancelButton)};
    alert.cancelButton = 1;
    if (m_alerts.runAlert(alert) != 0)
        return;
    report(texts::installedTitle, installer.install(m_store.routes(), m_shortcuts, targets));
}

void FileManagerActionsRow::remove(FileManagerActionsInstaller& installer) {
    AlertRequest alert;
    alert.style = AlertRequest::Style::informational;
    alert.messageText = tr8(texts::confirmRemoveTitle);
    alert.informativeText = tr8(texts::confirmRemoveText);
    alert.buttons = {tr8(texts::removeButton), tr8(texts::cancelButton)};
    alert.cancelButton = 1;
    if (m_alerts.runAlert(alert) != 0)
        return;
    report(texts::removedTitle, installer.remove());
}

void FileManagerActionsRow::report(const char* title,
                                   const FileManagerActionsInstaller::Result& result) {
    QStringList lines;
    section(lines, texts::writtenHeading, result.written);
    section(lines, texts::removedHeading, result.removed);
    section(lines, texts::skippedHeading, result.skipped, false);
    section(lines, texts::failedHeading, result.errors, false);
    if (lines.isEmpty())
        lines << tr8(texts::nothingChanged);
    AlertRequest alert;
    alert.messageText = tr8(result.ok() ? title : texts::failedTitle);
    alert.informativeText = lines.join(QLatin1Char('\n'));
    alert.style = result.ok() ? AlertRequest::Style::informational : AlertRequest::Style::warning;
    m_alerts.runAlert(alert);
}
