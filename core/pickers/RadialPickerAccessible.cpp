#include "core/pickers/RadialPickerAccessible.h"

#include "core/pickers/RadialEditorPickerView.h"
#include "core/pickers/RadialSliceAccessible.h"

namespace {
QAccessibleInterface* radialPickerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("RadialEditorPickerView") && object && object->isWidgetType())
        return new RadialPickerAccessible(static_cast<RadialEditorPickerView*>(object));
    return nullptr;
}
} // namespace

RadialPickerAccessible::RadialPickerAccessible(RadialEditorPickerView* view)
    : QAccessibleWidget(view, QAccessible::Grouping) {}

RadialPickerAccessible::~RadialPickerAccessible() {
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

RadialEditorPickerView* RadialPickerAccessible::view() const {
    return static_cast<RadialEditorPickerView*>(widget());
}

int RadialPickerAccessible::childCount() const {
    return view()->count();
}

QAccessibleInterface* RadialPickerAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (m_children.size() != childCount())
        m_children.resize(childCount(), 0);
    if (!m_children.at(index)) {
        m_children[index] =
            QAccessible::registerAccessibleInterface(new RadialSliceAccessible(view(), index));
    }
    return QAccessible::accessibleInterface(m_children.at(index));
}

int RadialPickerAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < m_children.size(); ++i) {
        if (m_children.at(i) && QAccessible::accessibleInterface(m_children.at(i)) == child)
            return i;
    }
    return -1;
}

QAccessibleInterface* RadialPickerAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface* slice = child(i);
        if (slice && slice->rect().contains(x, y))
            return slice;
    }
    return nullptr;
}

QAccessibleInterface* RadialPickerAccessible::focusChild() const {
    const int index = view()->highlightIndex();
    return view()->hasFocus() ? child(index) : nullptr;
}

QString RadialPickerAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        return view()->window()->windowTitle();
    case QAccessible::Help:
    case QAccessible::Description:
        return view()->accessibleDescription();
    default:
        return QAccessibleWidget::text(t);
    }
}

void RadialPickerAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(radialPickerFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void RadialPickerAccessible::notifyHighlightChanged(RadialEditorPickerView* view) {
    QAccessibleInterface* picker = QAccessible::queryAccessibleInterface(view);
    if (!picker)
        return;
    QAccessibleEvent selection(view, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&selection);
    if (QAccessibleInterface* slice = picker->child(view->highlightIndex())) {
        QAccessibleEvent focus(slice, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}
