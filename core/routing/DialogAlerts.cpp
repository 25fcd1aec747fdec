#include "core/routing/DialogAlerts.h"

#include "core/platform/WindowActivation.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {
// Names in alerts (files, routes, editors, scripts) are shown as typed: text
// that looks like markup or a link is neither rendered nor clickable.
void showAsPlainText(QLabel* label) {
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    label->setOpenExternalLinks(false);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
}
} // namespace

int DialogAlerts::runAlert(const AlertRequest& request) {
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Corvanta"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    box.setText(request.messageText);
    box.setInformativeText(request.informativeText);
    // The box makes its labels as it goes; the informative one ignores the
    // box's text format and opens links by default.
    for (QLabel* label : box.findChildren<QLabel*>())
        showAsPlainText(label);
    switch (request.style) {
    case AlertRequest::Style::informational:
        box.setIcon(QMessageBox::Information);
        break;
    case AlertRequest::Style::warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case AlertRequest::Style::critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    const QStringList titles =
        request.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : request.buttons;
    QList<QPushButton*> buttons;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const bool cancels = i == request.cancelButton;
        buttons.append(box.addButton(
            titles[i], cancels ? QMessageBox::RejectRole
                               : (i == 0 ? QMessageBox::AcceptRole : QMessageBox::ActionRole)));
    }
    box.setDefaultButton(buttons.first());
    if (request.cancelButton >= 0 && request.cancelButton < buttons.size())
        box.setEscapeButton(buttons[request.cancelButton]);
    else if (buttons.size() == 1)
        box.setEscapeButton(buttons.first());
    // Corvanta has no window of its own most of the time: bring the alert up front.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (m_activation)
        m_activation->prepareToShow(box.winId());
    box.exec();
    const qsizetype chosen = buttons.indexOf(static_cast<QPushButton*>(box.clickedButton()));
    if (chosen >= 0)
        return int(chosen);
    return request.cancelButton >= 0 ? request.cancelButton : 0;
}

void DialogAlerts::beep() {
    QApplication::beep();
}
