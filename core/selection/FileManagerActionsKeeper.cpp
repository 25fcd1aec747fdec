#include "core/selection/FileManagerActionsKeeper.h"

#include "core/model/RouteStore.h"
#include "core/platform/ShortcutRegistry.h"

FileManagerActionsKeeper::FileManagerActionsKeeper(RouteStore& store, ShortcutRegistry& shortcuts,
                                                   FileManagerActionsInstaller installer,
                                                   FileManagerActionsInstaller::Targets targets)
    : m_store(store)
    , m_shortcuts(shortcuts)
    , m_installer(std::move(installer))
    , m_targets(targets) {
    m_storeHandler = m_store.addChangeHandler([this] { refresh(); });
    m_recorderObserver = m_shortcuts.addRecorderActiveObserver([this](const QVariantMap& info) {
        if (!info.value(QLatin1String(ShortcutRegistry::isActiveKey)).toBool())
            refresh();
    });
}

FileManagerActionsKeeper::~FileManagerActionsKeeper() {
    m_store.removeChangeHandler(m_storeHandler);
    m_shortcuts.removeRecorderActiveObserver(m_recorderObserver);
}

void FileManagerActionsKeeper::refresh() {
    // Without the user's rules every action of ours would look stale.
    if (m_store.loadFailed() || !m_installer.hasInstalled())
        return;
    const FileManagerActionsInstaller::Result result =
        m_installer.install(m_store.routes(), m_shortcuts, m_targets);
    for (const QString& error : result.errors)
        qWarning("Corvanta: file-manager actions: %s", qUtf8Printable(error));
}
