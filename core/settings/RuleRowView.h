#pragma once

#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;

// One row of the rules table: a rule (with its on/off box) or the Default Rule.
class RuleRowView : public QWidget {
    Q_OBJECT
public:
    // `enabled` none: the Default Rule row, which has no box.
    RuleRowView(const QString& summary, std::optional<bool> enabled, QWidget* parent = nullptr);

    QCheckBox* enabledBox() const { return m_enabledBox; }
    QLabel* summaryLabel() const { return m_summary; }
    // Why the rule's hotkey does nothing now; none hides it.
    void setHotkeyState(const std::optional<QString>& inactiveReason);
    QLabel* hotkeyStateLabel() const { return m_hotkeyState; }

Q_SIGNALS:
    void enabledToggled(bool enabled);

private:
    QCheckBox* m_enabledBox = nullptr;
    QLabel* m_summary;
    QLabel* m_hotkeyState;
};
