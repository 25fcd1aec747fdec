#pragma once

#include <QSet>
#include <functional>

// Whether Corvanta behaves like an ordinary application (a taskbar entry, focus,
// a menu bar) or like a tray utility: ordinary exactly while at least one of its
// windows (settings, onboarding, the About box) is showing.
class MenuBarActivation {
public:
    enum class Presenter { settings, onboarding, about };

    struct Hooks {
        // The set became non-empty / empty.
        std::function<void()> becomeRegular;
        std::function<void()> becomeAccessory;
        // Every present: bring Corvanta to the front.
        std::function<void()> activate;
    };

    explicit MenuBarActivation(Hooks hooks = {});

    // Presenting the same presenter twice adds it once.
    void present(Presenter presenter);
    // Dismissing one that is not showing changes nothing, but an empty set still
    // ends the regular state.
    void dismiss(Presenter presenter);

    bool isRegular() const { return m_regular; }
    bool isShowing(Presenter presenter) const { return m_presenters.contains(presenter); }
    const QSet<Presenter>& presenters() const { return m_presenters; }

private:
    Hooks m_hooks;
    QSet<Presenter> m_presenters;
    bool m_regular = false;
};
