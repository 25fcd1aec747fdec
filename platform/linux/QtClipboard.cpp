#include "platform/linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
QClipboard* guiClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}
} // namespace

QtClipboard::QtClipboard(QObject* parent)
    : QObject(parent) {}

bool QtClipboard::setText(const QString& text) {
    QClipboard* clipboard = guiClipboard();
    if (!clipboard)
        return false;
    // Connected here: the platform may be built before the application object.
    if (!m_watching) {
        connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                clipboardChanged();
        });
        m_watching = true;
    }
    m_holding = false;
    clipboard->clear(QClipboard::Clipboard);
    clipboard->setText(text, QClipboard::Clipboard);
    m_ownershipKnown = clipboard->ownsClipboard();
    if (!m_ownershipKnown && clipboard->text(QClipboard::Clipboard) != text)
        return false;
    m_text = text;
    m_holding = true;
    return true;
}

void QtClipboard::clipboardChanged() {
    if (!m_holding)
        return;
    QClipboard* clipboard = guiClipboard();
    const bool stillOurs = m_ownershipKnown ? clipboard->ownsClipboard()
                                            : clipboard->text(QClipboard::Clipboard) == m_text;
    if (stillOurs)
        return;
    m_holding = false;
    Q_EMIT released();
}
