#pragma once

#include <QString>
#include <QUrl>
#include <optional>

class QWidget;

// The panels the settings window and its sheets ask the user with.
class SettingsChoosers {
public:
    struct Application {
        QString bundleID;
        QString name;
        bool operator==(const Application&) const = default;
    };
    struct Request {
        QString title;
        QString prompt;
        QString message;
        // Where the dialog opens; empty: the home folder.
        QString directory;
    };

    virtual ~SettingsChoosers() = default;
    virtual std::optional<QString> chooseFolder(QWidget* parent, const Request& request) = 0;
    virtual std::optional<Application> chooseApplication(QWidget* parent,
                                                         const Request& request) = 0;
    virtual std::optional<QUrl> chooseFile(QWidget* parent, const Request& request) = 0;
};
