#include "core/menubar/OnboardingSteps.h"

#include "core/platform/PlatformTexts.h"

const QList<OnboardingStep>& OnboardingFlow::steps() {
    static const QList<OnboardingStep> table = {
        {PlatformTexts::text("Allow Corvanta in the Menu Bar"),
         PlatformTexts::text("Apps can be hidden from the menu bar. Turn Corvanta on in System "
                             "Settings if you don\u2019t see it."),
         QStringLiteral("OnboardingMenuBarSettings"), true, false},
        {PlatformTexts::text("Corvanta lives in the menu bar"),
         QStringLiteral("Click the icon to set default handlers per file type and open Settings."),
         QStringLiteral("OnboardingMenuBarMenu"), false, true},
        {QStringLiteral("Add a file type by dragging"),
         PlatformTexts::text("Drag any file onto the menu bar icon to route that type."),
         QStringLiteral("OnboardingDragToRoute"), false, false},
    };
    return table;
}

bool OnboardingFlow::next() {
    if (m_stepIndex >= stepCount - 1)
        return true;
    ++m_stepIndex;
    return false;
}

void OnboardingFlow::back() {
    m_stepIndex = std::max(m_stepIndex - 1, 0);
}

QString OnboardingFlow::nextTitle() const {
    return m_stepIndex == stepCount - 1 ? QStringLiteral("Done") : QStringLiteral("Next");
}

QString OnboardingFlow::pageLabel() const {
    return QString::number(m_stepIndex + 1) + QStringLiteral(" of ") + QString::number(stepCount);
}

bool OnboardingFlow::showsOpenSettings(bool desktopHasTraySettings) const {
    return step().showsOpenSettings && desktopHasTraySettings;
}

bool OnboardingFlow::showsArrow(bool iconKnown) const {
    return step().pointsAtIcon && iconKnown;
}
