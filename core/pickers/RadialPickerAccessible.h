#pragma once

#include <QAccessibleWidget>
#include <QList>

class RadialEditorPickerView;

// What assistive technologies see of the radial picker: a group named after the
// picker, with one button per slice. The highlighted slice is the selected and
// focused child.
class RadialPickerAccessible : public QAccessibleWidget {
public:
    explicit RadialPickerAccessible(RadialEditorPickerView* view);
    ~RadialPickerAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

    RadialEditorPickerView* view() const;

    // Registers the interface for RadialEditorPickerView; safe to call often.
    static void installFactory();
    // Tells assistive technologies which slice is highlighted now.
    static void notifyHighlightChanged(RadialEditorPickerView* view);

private:
    mutable QList<QAccessible::Id> m_children;
};
