#pragma once

#include <QList>
#include <functional>
#include <utility>

// Callbacks added and removed by token. They are told from a copy: an observer
// may add or remove observers while being told.
template <typename... Args> class ObserverList {
public:
    using Observer = std::function<void(Args...)>;

    int add(Observer observer) {
        m_observers.append({m_next, std::move(observer)});
        return m_next++;
    }
    void remove(int token) {
        m_observers.removeIf([token](const auto& entry) { return entry.first == token; });
    }
    void notify(const Args&... args) const {
        const auto observers = m_observers;
        for (const auto& entry : observers)
            entry.second(args...);
    }

private:
    QList<std::pair<int, Observer>> m_observers;
    int m_next = 1;
};
