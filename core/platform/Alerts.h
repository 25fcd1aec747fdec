#pragma once

#include <QString>
#include <QStringList>
#include <utility>

struct AlertRequest {
    enum class Style { informational, warning, critical };
    QString messageText;
    QString informativeText;
    // Button titles, first is the default; empty means a single "OK".
    QStringList buttons;
    Style style = Style::warning;
    // Index of the button that cancels (Escape); -1 when none does.
    int cancelButton = -1;
    bool operator==(const AlertRequest&) const = default;

    // A warning with a single "OK": what every failure report is.
    static AlertRequest warning(QString message, QString informative) {
        return {std::move(message), std::move(informative), {}, Style::warning, -1};
    }
};

// Modal alerts and the quiet-failure beep. The logic never shows UI directly.
class Alerts {
public:
    virtual ~Alerts() = default;
    // Shows the alert and returns the index of the chosen button.
    virtual int runAlert(const AlertRequest& request) = 0;
    virtual void beep() = 0;
};
