#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// The one guard for callbacks that may run after the object that handed them
// out is gone (completions, timers, observers kept by another object): a
// callback guarded by an object's lifetime does nothing once that ended.
// Declare it as the last member, so it ends before the members the callbacks use.
class Lifetime {
public:
    Lifetime() = default;
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;

    // `callable` while this lifetime lasts; afterwards a call does nothing and
    // returns a default value.
    template <typename Callable> auto guard(Callable callable) const {
        return [alive = watch(), callable = std::move(callable)](auto&&... args) {
            using Result = std::invoke_result_t<const Callable&, decltype(args)...>;
            if (!alive)
                return Result();
            return std::invoke(callable, std::forward<decltype(args)>(args)...);
        };
    }

    // Whether the lifetime still lasts, asked after a call that may have ended
    // it (an alert or dialog running its own event loop).
    class Watch {
    public:
        explicit operator bool() const { return !m_token.expired(); }

    private:
        friend class Lifetime;
        explicit Watch(std::weak_ptr<const char> token)
            : m_token(std::move(token)) {}
        std::weak_ptr<const char> m_token;
    };
    Watch watch() const { return Watch(m_token); }

    // Ends it before the object is torn down.
    void end() { m_token.reset(); }

private:
    std::shared_ptr<const char> m_token = std::make_shared<const char>();
};
