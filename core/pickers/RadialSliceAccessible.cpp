#include "core/pickers/RadialSliceAccessible.h"

#include "core/pickers/RadialEditorPickerView.h"

#include <QAccessible>

RadialSliceAccessible::RadialSliceAccessible(RadialEditorPickerView* view, int index)
    : m_view(view)
    , m_index(index) {}

bool RadialSliceAccessible::isValid() const {
    return m_view && m_index >= 0 && m_index < m_view->count();
}

QObject* RadialSliceAccessible::object() const {
    return nullptr;
}

QWindow* RadialSliceAccessible::window() const {
    return m_view && m_view->window() ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* RadialSliceAccessible::parent() const {
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString RadialSliceAccessible::text(QAccessible::Text t) const {
    if (!isValid())
        return {};
    switch (t) {
    case QAccessible::Name:
        return m_view->label(m_index);
    case QAccessible::Help:
    case QAccessible::Description:
        return m_view->sliceHelp(m_index);
    case QAccessible::Accelerator:
        return m_index < 9 ? RadialEditorPickerView::shortcutText(m_index + 1) : QString();
    default:
        return {};
    }
}

QRect RadialSliceAccessible::rect() const {
    if (!isValid())
        return {};
    const QRect local = m_view->geometry().accessibleRect(m_index).toAlignedRect();
    return QRect(m_view->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State RadialSliceAccessible::state() const {
    QAccessible::State state;
    state.selectable = true;
    state.focusable = true;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const bool highlighted = m_view->highlightIndex() == m_index;
    state.selected = highlighted;
    state.focused = highlighted && m_view->hasFocus();
    return state;
}

void* RadialSliceAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList RadialSliceAccessible::actionNames() const {
    return {pressAction()};
}

void RadialSliceAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() && isValid())
        m_view->confirm(m_index);
}

QStringList RadialSliceAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName != pressAction() || m_index >= 9)
        return {};
    return {RadialEditorPickerView::shortcutText(m_index + 1)};
}
