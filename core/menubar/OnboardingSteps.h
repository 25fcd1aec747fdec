#pragma once

#include <QList>
#include <QString>

// One page of the welcome window.
struct OnboardingStep {
    QString title;
    QString body;
    // The illustration's resource name (an SVG under :/onboarding/).
    QString image;
    bool showsOpenSettings;
    bool pointsAtIcon;
};

// The three pages of the welcome window and where the user is among them.
class OnboardingFlow {
public:
    static constexpr int stepCount = 3;
    static const QList<OnboardingStep>& steps();

    int stepIndex() const { return m_stepIndex; }
    const OnboardingStep& step() const { return steps().at(m_stepIndex); }

    // Every showing starts on the first page.
    void reset() { m_stepIndex = 0; }
    // Next (and Return): true when this ends the onboarding (the last page).
    bool next();
    void back();

    bool showsBack() const { return m_stepIndex > 0; }
    // The start-at-login choice comes with the last page.
    bool showsStartAtLogin() const { return m_stepIndex == stepCount - 1; }
    QString nextTitle() const;
    QString pageLabel() const;
    // The tray settings button also needs a desktop that has such settings.
    bool showsOpenSettings(bool desktopHasTraySettings) const;
    // The arrow needs the icon's place.
    bool showsArrow(bool iconKnown) const;

private:
    int m_stepIndex = 0;
};
