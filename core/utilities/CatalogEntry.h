#pragma once

#include <QList>
#include <QString>
#include <optional>

// One thing a catalog found: `id` becomes an enabled utility's id (or a
// script's relative path), `name` is what the checklist shows.
struct CatalogEntry {
    QString id;
    QString name;
    bool operator==(const CatalogEntry&) const = default;
};

// What a catalog scan found; an error message always comes with no entries.
struct CatalogScan {
    QList<CatalogEntry> entries;
    std::optional<QString> errorMessage;
    bool operator==(const CatalogScan&) const = default;

    static CatalogScan failure(const QString& message) { return {{}, message}; }
};

// By name, case-insensitively in the user's locale; equal names keep their order.
void sortCatalogEntries(QList<CatalogEntry>& entries);
