#pragma once

#include "core/platform/LoginItem.h"

#include <QByteArray>
#include <QString>

// Starting at login through the desktop's XDG autostart folder
// (`$XDG_CONFIG_HOME/autostart/io.corvanta.Corvanta.desktop`). The entry runs
// the program with `loginOption`, so a login start can be told from the
// user's. Switching it off or on again edits only the keys that switch it:
// whatever else the user changed in the file stays as it is.
class XdgAutostartEntry : public LoginItem {
public:
    static constexpr const char* loginOption = "--login";

    // The entry at `path` starting `program` (defaults: the user's autostart
    // folder and this executable).
    explicit XdgAutostartEntry(QString path = defaultPath(), QString program = {});

    static QString defaultPath();
    const QString& path() const { return m_path; }
    // The entry as first written.
    QByteArray initialContents() const;

    bool isEnabled() const override;
    std::optional<QString> setEnabled(bool enabled) override;

private:
    QString program() const;
    std::optional<QString> write(const QByteArray& contents) const;

    QString m_path;
    QString m_program;
};
