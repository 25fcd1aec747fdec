#pragma once

#include <QDialog>

// "Show Why…": one routed file, what decided it then and what would decide it now.
class WhyRoutedWindow : public QDialog {
    Q_OBJECT
public:
    WhyRoutedWindow(const QString& path, const QString& then, const QString& now,
                    QWidget* parent = nullptr);
};
