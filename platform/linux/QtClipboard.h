#pragma once

#include "core/platform/Clipboard.h"

#include <QObject>

// The clipboard through QClipboard.
//
// X11 serves clipboard contents from the owning process. While Corvanta runs
// it serves the text itself; when it quits, Qt's X11 backend hands what it owns
// to the desktop's clipboard manager (the CLIPBOARD_MANAGER / SAVE_TARGETS
// handshake) before the connection closes. Wayland has no such hand-off, so a
// run that would otherwise end at once can wait for `released()` while
// `holdsText()` is true: another program taking the clipboard ends the need to
// stay.
class QtClipboard : public QObject, public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);

    bool setText(const QString& text) override;
    // Whether the clipboard still holds the text this object put there.
    bool holdsText() const { return m_holding; }

Q_SIGNALS:
    void released();

private:
    void clipboardChanged();

    QString m_text;
    bool m_holding = false;
    // False on platforms that cannot tell who owns the clipboard; the text is
    // compared instead.
    bool m_ownershipKnown = false;
    bool m_watching = false;
};
