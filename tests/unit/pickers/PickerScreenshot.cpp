// Shows a picker over a two-tone backdrop and saves what the display server
// shows, to look at how it renders there (with or without a compositing
// manager):   picker_screenshot [radial|list [OUT.png]]
#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "core/pickers/WidgetPickerPresenter.h"
#include "platform/linux/X11Compositing.h"
#include "tests/support/FakeWorkspace.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    const bool list = argc > 1 && qstrcmp(argv[1], "list") == 0;
    FakeWorkspace workspace;
    QList<PickerChoice> entries;
    for (const char* name : {"Kate", "Text Editor", "Ghostwriter"}) {
        Editor editor;
        editor.bundleID = QStringLiteral("org.example.") + QString::fromLatin1(name).remove(' ');
        editor.name = QString::fromLatin1(name);
        workspace.install({editor.bundleID, editor.name, {}, {}, {}, "accessories-text-editor"});
        entries.append({editor});
    }
    for (auto kind : allPickerUtilityKinds)
        entries.append({PickerUtility::makeDefault(kind)});
    entries.append({ExternalUtilityRef::shortcut({"s1", "Publish to Blog"})});
    QWidget backdrop(nullptr, Qt::FramelessWindowHint);
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    QPalette tones;
    tones.setColor(QPalette::Window, QColor(0x4a, 0x6f, 0x9c));
    backdrop.setPalette(tones);
    backdrop.setAutoFillBackground(true);
    auto* white = new QWidget(&backdrop);
    white->setGeometry(0, 0, backdrop.width() / 2, backdrop.height());
    white->setStyleSheet(QStringLiteral("background: white"));
    backdrop.show();

    WidgetPickerPresenter presenter(workspace, X11Compositing::windowsCanBeTranslucent);
    presenter.present(
        {"Choose a Markdown editor", list ? PickerStyle::list : PickerStyle::radial, entries}, {});
    QTimer::singleShot(800, [&] {
        QWidget* window =
            list ? presenter.listPicker()->panel() : presenter.radialPicker()->panel();
        const QRect area = window->frameGeometry().adjusted(-40, -40, 40, 40);
        const QPixmap shown =
            window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        app.exit(shown.save(argc > 2 ? QString::fromLocal8Bit(argv[2]) : "picker.png") ? 0 : 1);
    });
    return app.exec();
}
