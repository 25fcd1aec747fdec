#pragma once

#include "core/pickers/ListPickerRows.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "core/pickers/ListPickerTable.h"
class QWidget;

// The list picker: a small window listing the editors, the built-in utilities
// and one row per kind of external utility, which opens a child list. Reports
// once, through the completion, the chosen entry or nothing.
class ListEditorPicker : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const std::optional<PickerChoice>& choice)>;
    using IconSource = std::function<QIcon(const PickerChoice&)>;
    // Runs with the panel just before it is first shown (focus hand-over).
    using WindowPreparer = std::function<void(QWidget*)>;

    // The main list over a picker's entries.
    ListEditorPicker(const QString& title, const QList<PickerChoice>& entries,
                     const IconSource& icons = {}, QObject* parent = nullptr);
    // A child list of the utilities of one kind.
    ListEditorPicker(ExternalUtilityKind kind, const QList<ExternalUtilityRef>& utilities,
                     const IconSource& icons = {}, QObject* parent = nullptr);
    ~ListEditorPicker() override;

    // Shows the list; with no selectable row the completion runs at once with
    // no choice and nothing is shown.
    void show(Completion completion);
    bool isPending() const { return bool(m_completion); }
    void setWindowPreparer(WindowPreparer preparer) { m_prepareWindow = std::move(preparer); }
    // Confirms the selected row.
    void confirm();

    const QList<ListPickerRow>& rows() const { return m_rows; }
    QWidget* panel() const { return m_panel; }
    ListPickerTable* table() const { return m_table; }
    ListEditorPicker* childPicker() const { return m_child; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ListEditorPicker(QList<ListPickerRow> rows, const QString& title, const IconSource& icons,
                     QObject* parent);
    void buildPanel();
    void fillTable();
    QIcon rowIcon(const ListPickerRow& row) const;
    void openChild(const ListPickerRow& row);
    void bringBack();
    void reactivateLater();
    void finish(const std::optional<PickerChoice>& choice);

    QList<ListPickerRow> m_rows;
    QString m_title;
    IconSource m_icons;
    Completion m_completion;
    WindowPreparer m_prepareWindow;
    QPointer<QWidget> m_panel;
    QPointer<ListPickerTable> m_table;
    QPointer<ListEditorPicker> m_child;
};
