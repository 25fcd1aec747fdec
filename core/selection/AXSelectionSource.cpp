#include "core/selection/AXSelectionSource.h"

#include "core/platform/AccessibilitySelection.h"

bool AXSelectionSource::isTrusted() const {
    return m_port->isTrusted();
}

QList<QUrl> AXSelectionSource::fileURLs() const {
    return m_port->selectedFileURLs();
}
