#include "core/settings/SettingsAppearance.h"

#include <QPalette>
#include <QString>
#include <QWidget>

QPalette SettingsAppearance::darkPalette() {
    QPalette p;
    const QColor window(0x1f, 0x20, 0x24);
    // Lighter than the window: styles outline check boxes and fields with a
    // darker shade of the window, which must stand out against the base.
    const QColor base(0x2a, 0x2c, 0x30);
    const QColor button(0x35, 0x37, 0x3c);
    const QColor text(0xe6, 0xe6, 0xe8);
    const QColor dim(0x8a, 0x8d, 0x93);
    const QColor accent(0x3d, 0x7e, 0xe0);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(0x30, 0x32, 0x36));
    p.setColor(QPalette::ToolTipBase, button);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dim);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x44, 0x47, 0x4e));
    p.setColor(QPalette::Midlight, QColor(0x37, 0x3a, 0x40));
    p.setColor(QPalette::Mid, QColor(0x30, 0x32, 0x37));
    p.setColor(QPalette::Dark, QColor(0x12, 0x13, 0x15));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x6c, 0xa8, 0xff));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x6a, 0x6d, 0x73));
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(0x26, 0x28, 0x2c));
    return p;
}

void SettingsAppearance::applyDark(QWidget* window) {
    window->setPalette(darkPalette());
    window->setAutoFillBackground(true);
}

QString SettingsAppearance::segmentStyleSheet(bool first, bool last) {
    // Colours by value: the segments get their sheet before they join the
    // window, whose palette they would otherwise not see. The checked fill is a
    // darker accent than the selection's, so white text keeps 4.5:1.
    const QPalette dark = darkPalette();
    QString sheet =
        QStringLiteral("QToolButton { background: %1; color: %2; border: 1px solid #55585f;"
                       " padding: 3px 12px; }"
                       "QToolButton:hover { background: #3f4248; }"
                       "QToolButton:checked { background: #2d64b8; color: white;"
                       " border-color: #2d64b8; font-weight: bold; }"
                       "QToolButton:focus { border-color: #8fbcff; }"
                       "QToolButton:disabled { color: %3; }")
            .arg(dark.color(QPalette::Button).name(), dark.color(QPalette::ButtonText).name(),
                 dark.color(QPalette::Disabled, QPalette::ButtonText).name());
    const QString radius = QStringLiteral("5px");
    QString ends;
    if (first)
        ends += QStringLiteral(" border-top-left-radius: %1; border-bottom-left-radius: %1;")
                    .arg(radius);
    if (last)
        ends += QStringLiteral(" border-top-right-radius: %1; border-bottom-right-radius: %1;")
                    .arg(radius);
    // Neighbours share one border line.
    if (!first)
        ends += QStringLiteral(" margin-left: -1px;");
    if (!ends.isEmpty())
        sheet += QStringLiteral("QToolButton {") + ends + QStringLiteral(" }");
    return sheet;
}
