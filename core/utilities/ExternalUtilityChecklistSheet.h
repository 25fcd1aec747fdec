#pragma once

#include "core/utilities/CatalogEntry.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QDialog>
#include <QSet>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class ProcessRunner;
class RouteStore;

// The checklist of one kind of external utility for a file type: every
// Shortcut, Service or script the machine has, ticked when the route offers
// it. Deletes itself when closed.
class ExternalUtilityChecklistSheet : public QDialog {
    Q_OBJECT
public:
    using OnToggle = std::function<void(const QString& id, const QString& name, bool enabled)>;

    ExternalUtilityChecklistSheet(ExternalUtilityKind kind, QString routeID,
                                  QList<CatalogEntry> entries, std::optional<QString> errorMessage,
                                  QSet<QString> enabledIDs, OnToggle onToggle,
                                  QWidget* parent = nullptr);

    // The settings window's "Run Shortcuts…", "Run Services…" and "Run
    // Scripts…" buttons: scans the catalog of `kind` now, shows the sheet on
    // `parentWindow` (or alone, centred) and stores each change in the route.
    static ExternalUtilityChecklistSheet* present(QWidget* parentWindow, ExternalUtilityKind kind,
                                                  const QString& routeID, RouteStore& store,
                                                  ProcessRunner& processes,
                                                  bool usesApplicationScripts);

    // The title (and the list's accessible name) for a kind.
    static QString title(ExternalUtilityKind kind);
    // A route's enabled keys of one kind (ids, or relative paths for scripts).
    static QSet<QString> enabledIDs(const Route& route, ExternalUtilityKind kind);

    // Shows it as a sheet of its parent window, or centred and in front.
    void presentSheet();

    ExternalUtilityKind kind() const { return m_kind; }
    const QString& routeID() const { return m_routeID; }
    const QSet<QString>& enabledIDs() const { return m_enabledIDs; }

private:
    void toggled(QListWidgetItem* item);

    ExternalUtilityKind m_kind;
    QString m_routeID;
    QList<CatalogEntry> m_entries;
    std::optional<QString> m_errorMessage;
    QSet<QString> m_enabledIDs;
    OnToggle m_onToggle;
    QListWidget* m_table = nullptr;
    QLabel* m_emptyLabel = nullptr;
};
