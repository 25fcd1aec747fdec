#include "core/menubar/WhyRoutedWindow.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

WhyRoutedWindow::WhyRoutedWindow(const QString& path, const QString& then, const QString& now,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("whyRoutedWindow"));
    setWindowTitle(QStringLiteral("Why %1 Opened There").arg(QFileInfo(path).fileName()));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* file = new QLabel(path, this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    file->setWordWrap(true);
    layout->addWidget(file);
    auto* form = new QFormLayout;
    const auto addText = [&](const QString& label, const QString& text, const QString& name) {
        auto* value = new QLabel(text, this);
        value->setObjectName(name);
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        form->addRow(label, value);
    };
    addText(QStringLiteral("Then:"), then, QStringLiteral("recordedDecision"));
    addText(QStringLiteral("Now:"), now, QStringLiteral("currentDecision"));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}
