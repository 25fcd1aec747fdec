#pragma once

#include "core/platform/AccessibilitySelection.h"

#include <QString>
#include <optional>

class FrontmostApplication;
typedef struct _GDBusConnection GDBusConnection;

// The frontmost application's selection through AT-SPI. Trusted when the
// accessibility bus answers and the frontmost process is registered on it;
// where no X server may be asked (Wayland), the frontmost application is the
// one whose window the tree shows in the active state.
// The walk finds the focused element (bounded in nodes and time, since large
// folders make trees of thousands of nodes), takes its selected children (or
// its parent's, or the children in the selected state), and keeps the URL of
// each item that exposes one as an attribute. The built-in file managers
// expose display names only, so they are not walked: the copy route reads them.
class AtspiAccessibilitySelection : public AccessibilitySelection {
public:
    explicit AtspiAccessibilitySelection(const FrontmostApplication& frontmost, int budgetMs = 250,
                                         int nodeLimit = 800);
    ~AtspiAccessibilitySelection() override;
    bool isTrusted() const override;
    QList<QUrl> selectedFileURLs() const override;

    // The URL an item's attributes name ("url" or "uri"), if it is a file URL.
    static std::optional<QUrl> urlFromAttribute(const QString& value);

private:
    GDBusConnection* bus() const;
    // The bus name under which the frontmost process is registered.
    std::optional<QString> frontmostApplication() const;

    const FrontmostApplication& m_frontmost;
    int m_budgetMs;
    int m_nodeLimit;
    mutable GDBusConnection* m_bus = nullptr;
};
