#include "core/utilities/CatalogEntry.h"

#include <QCollator>
#include <algorithm>

void sortCatalogEntries(QList<CatalogEntry>& entries) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const CatalogEntry& a, const CatalogEntry& b) {
                         return collator.compare(a.name, b.name) < 0;
                     });
}
