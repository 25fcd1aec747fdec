#pragma once

#include "core/platform/Workspace.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;

// Lists the installed applications by name with their icons and a search field;
// gives the chosen application's desktop ID and name.
class ApplicationChooserDialog : public QDialog {
    Q_OBJECT
public:
    ApplicationChooserDialog(const QList<InstalledApplication>& applications, const QString& prompt,
                             const QString& message, QWidget* parent = nullptr);

    QLineEdit* searchField() const { return m_search; }
    QListWidget* list() const { return m_list; }
    QPushButton* chooseButton() const { return m_choose; }
    // The application selected in the list (after acceptance: the chosen one).
    std::optional<InstalledApplication> selectedApplication() const;

private:
    void filter(const QString& text);

    QList<InstalledApplication> m_applications;
    QLineEdit* m_search;
    QListWidget* m_list;
    QPushButton* m_choose;
};
