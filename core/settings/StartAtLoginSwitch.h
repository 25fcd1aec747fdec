#pragma once

#include <QCheckBox>

class Alerts;
class LoginItem;

// "Start Corvanta when you log in" in the general tab: shows whether the
// desktop starts Corvanta at login each time it comes into view (the entry may
// have been changed meanwhile), and switches it. A change that could not be
// made is told, and the box goes back to what is true.
class StartAtLoginSwitch : public QCheckBox {
    Q_OBJECT
public:
    StartAtLoginSwitch(LoginItem& loginItem, Alerts& alerts, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void switched(bool on);
    void reflect();

    LoginItem& m_loginItem;
    Alerts& m_alerts;
};
