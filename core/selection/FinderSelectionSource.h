#pragma once

#include <QList>
#include <QUrl>

// The resolver's second source: what a file manager reports as selected.
class FinderSelectionSource {
public:
    virtual ~FinderSelectionSource() = default;
    // Candidate URLs, possibly empty, not yet cleaned.
    virtual QList<QUrl> fileURLs() const = 0;
};
