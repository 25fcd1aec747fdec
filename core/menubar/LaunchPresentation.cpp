#include "core/menubar/LaunchPresentation.h"

namespace LaunchPresentation {
Window windowFor(LaunchReason reason, bool trayShown, bool onboardingCompleted) {
    if (!onboardingCompleted)
        return Window::onboarding;
    if (reason == LaunchReason::activate && !trayShown)
        return Window::settings;
    return Window::none;
}
} // namespace LaunchPresentation
