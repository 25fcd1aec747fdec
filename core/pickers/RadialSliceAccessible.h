#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class RadialEditorPickerView;

// One slice of the radial picker as a button: its label, its help text with
// its position and shortcut, and a press action that confirms it.
class RadialSliceAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RadialSliceAccessible(RadialEditorPickerView* view, int index);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    int index() const { return m_index; }

private:
    QPointer<RadialEditorPickerView> m_view;
    int m_index;
};
