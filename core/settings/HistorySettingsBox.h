#pragma once

#include <QWidget>
#include <functional>

class Preferences;

// The general tab's history switch, "Remember routed files", and "Clear History".
class HistorySettingsBox : public QWidget {
    Q_OBJECT
public:
    HistorySettingsBox(Preferences& preferences, std::function<void()> clearHistory,
                       QWidget* parent = nullptr);
};
