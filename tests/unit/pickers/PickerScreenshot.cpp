// Shows a picker with a few entries and saves pictures of it, to look at how it
// renders on a real display server:
//   picker_screenshot radial|list OUT_PREFIX [light|dark] [COUNT]
#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "core/pickers/WidgetPickerPresenter.h"
#include "tests/support/FakeWorkspace.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>

namespace {
Editor editor(const QString& id, const QString& name) {
    Editor e;
    e.bundleID = id;
    e.name = name;
    return e;
}

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Mid, QColor(0x50, 0x50, 0x50));
    return p;
}

// The window's own pixels over a desktop-like backdrop: without a compositor
// the screen shows black where the picker is transparent.
QImage overBackdrop(QWidget* window) {
    const QPixmap own = window->grab();
    QImage image(own.size() + QSize(80, 80), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient g(0, 0, image.width(), image.height());
    g.setColorAt(0, QColor(0x4a, 0x6f, 0x9c));
    g.setColorAt(1, QColor(0xc8, 0xd6, 0xe5));
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(0, 0, image.width() / 2, image.height()), QColor(250, 250, 250));
    p.drawPixmap(40, 40, own);
    return image;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const bool list = QString::fromLocal8Bit(argv[1]) == QLatin1String("list");
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int count = argc > 4 ? QString::fromLocal8Bit(argv[4]).toInt() : 0;
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (argc > 3 && QString::fromLocal8Bit(argv[3]) == QLatin1String("dark"))
        QApplication::setPalette(darkPalette());

    FakeWorkspace workspace;
    workspace.install(
        {"org.gnome.TextEditor", "Text Editor", {}, {}, {}, "accessories-text-editor"});
    workspace.install({"org.kde.kate", "Kate", {}, {}, {}, "applications-development"});
    workspace.install({"org.example.Browser", "Web", {}, {}, {}, "web-browser"});
    QList<PickerChoice> entries{{editor("org.gnome.TextEditor", "Text Editor")},
                                {editor("org.kde.kate", "Kate")},
                                {editor("org.example.Browser", "Web")}};
    for (auto kind : allPickerUtilityKinds)
        entries.append({PickerUtility::makeDefault(kind)});
    entries.append({ExternalUtilityRef::shortcut({"s1", "Publish to Blog"})});
    entries.append({ExternalUtilityRef::script({"wc.sh", "Word Count"})});
    // An optional count trims the entries or pads them with more editors.
    if (count > 0 && count < entries.size())
        entries.resize(count);
    for (int i = int(entries.size()); i < count; ++i)
        entries.append({editor(QStringLiteral("x%1").arg(i), QStringLiteral("Editor %1").arg(i))});

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCursor::setPos(screen.center());
    WidgetPickerPresenter presenter(workspace);
    presenter.present({QStringLiteral("Choose a Markdown editor"),
                       list ? PickerStyle::list : PickerStyle::radial, entries},
                      [](const std::optional<PickerChoice>&) {});
    QTimer::singleShot(800, [&] {
        QWidget* window =
            list ? presenter.listPicker()->panel() : presenter.radialPicker()->panel();
        if (!list) {
            // Highlight a utility so the caption shows.
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            for (int i = 0; i < std::min(4, int(entries.size()) - 1); ++i)
                QApplication::sendEvent(presenter.radialPicker()->pickerView(), &right);
        }
        QTimer::singleShot(300, [&, window] {
            overBackdrop(window).save(out + QStringLiteral("-widget.png"));
            QGuiApplication::primaryScreen()->grabWindow(0).save(out +
                                                                 QStringLiteral("-screen.png"));
            app.quit();
        });
    });
    return app.exec();
}
