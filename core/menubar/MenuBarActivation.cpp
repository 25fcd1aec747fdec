#include "core/menubar/MenuBarActivation.h"

#include <utility>

MenuBarActivation::MenuBarActivation(Hooks hooks)
    : m_hooks(std::move(hooks)) {}

void MenuBarActivation::present(Presenter presenter) {
    if (m_presenters.isEmpty() && !m_regular) {
        m_regular = true;
        if (m_hooks.becomeRegular)
            m_hooks.becomeRegular();
    }
    m_presenters.insert(presenter);
    if (m_hooks.activate)
        m_hooks.activate();
}

void MenuBarActivation::dismiss(Presenter presenter) {
    m_presenters.remove(presenter);
    if (!m_presenters.isEmpty())
        return;
    // Reported once per switch; a stray dismiss while already accessory is quiet.
    if (m_regular) {
        m_regular = false;
        if (m_hooks.becomeAccessory)
            m_hooks.becomeAccessory();
    }
}
