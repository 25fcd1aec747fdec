#pragma once

#include "core/menubar/OnboardingSteps.h"
#include "core/menubar/TrayGeometry.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class DesktopTray;
class LoginItem;
class OnboardingArrowPanel;
class Preferences;
class QCheckBox;
class QLabel;
class QPushButton;

// The welcome window: three pages on where Corvanta lives and how to teach it
// a type. However it closes, onboarding counts as completed. Finishing it on
// the last page with "Start Corvanta when you log in" ticked has the desktop
// start Corvanta at login.
class OnboardingWindowController : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize windowSize{520, 640};

    OnboardingWindowController(Preferences& preferences, DesktopTray& tray, LoginItem& loginItem,
                               TrayGeometry geometry, bool translucent, QWidget* parent = nullptr);
    ~OnboardingWindowController() override;

    // Run at the start of every show() and when the window closes.
    std::function<void()> onWillShow;
    std::function<void(QWidget*)> onWillClose;

    // Starts again on the first page, placed by the tray, in front with the focus.
    void showOnboarding();
    int stepIndex() const { return m_flow.stepIndex(); }
    OnboardingArrowPanel* arrowPanel() const { return m_arrow; }
    QCheckBox* startAtLoginBox() const { return m_startAtLoginBox; }

    void nextTapped();
    void backTapped();
    void skipTapped();
    void openMenuBarSettingsTapped();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void render();
    void finish();
    QPixmap illustration(const QString& name) const;

    Preferences& m_preferences;
    DesktopTray& m_tray;
    LoginItem& m_loginItem;
    TrayGeometry m_geometry;
    OnboardingFlow m_flow;
    OnboardingArrowPanel* m_arrow;
    QLabel* m_titleLabel;
    QLabel* m_bodyLabel;
    QLabel* m_imageView;
    QCheckBox* m_startAtLoginBox;
    QPushButton* m_openSettingsButton;
    QPushButton* m_skipButton;
    QPushButton* m_backButton;
    QPushButton* m_nextButton;
    QLabel* m_pageLabel;
};
