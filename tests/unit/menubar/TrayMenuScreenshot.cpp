// Not a test: opens the tray menu on sample routes, with the Markdown submenu
// open, and saves what the display server shows. Run under xvfb-run:
//   tray_menu_screenshot OUT.png
#include "core/pickers/UtilityPerformer.h"
#include "core/routing/AppDelegate.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    FakePlatform fake;
    fake.preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, true);
    QList<Editor> editors;
    for (const char* name : {"Kate", "Text Editor", "Ghostwriter"}) {
        editors.append(
            editor(QStringLiteral("org.example.") + QString::fromLatin1(name).remove(' ')));
        editors.last().name = QString::fromLatin1(name);
        fake.workspace.install(
            {editors.last().bundleID, editors.last().name, {}, {}, {}, "accessories-text-editor"});
    }
    QList<Route> routes{route("markdown", "Markdown", "md"),
                        route("plaintext", "Plain Text", "txt"), route("custom.org", "Org", "org")};
    for (Route& r : routes) {
        r.editors = editors;
        r.activeBundleID = editors[0].bundleID;
    }
    QTemporaryDir dir;
    writeRoutes(dir.filePath("routes.json"), routes);
    FakePickerPresenter pickers;
    UtilityPerformer utilities{fake.platform()};
    AppDelegate delegate(fake.platform(), pickers, utilities, dir.filePath("routes.json"));
    delegate.applicationDidFinishLaunching(LaunchReason::login);
    QWidget desktop(nullptr, Qt::FramelessWindowHint);
    desktop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    desktop.setStyleSheet(QStringLiteral("background: #4a6f9c"));
    desktop.show();
    QMenu* menu = delegate.tray().menu();
    menu->popup(QPoint(40, 40));
    // The pointer rests on the first route, which opens its submenu.
    QTimer::singleShot(300, &app, [&] {
        const QPoint at = menu->actionGeometry(menu->actions().constFirst()).center();
        QMouseEvent move(QEvent::MouseMove, at, menu->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &move);
    });
    QTimer::singleShot(800, &app, [&] {
        QRect area = menu->frameGeometry();
        if (QMenu* open = menu->actions().constFirst()->menu())
            area |= open->frameGeometry();
        area.adjust(-24, -24, 24, 24);
        const QPixmap shown =
            menu->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        app.exit(shown.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1);
    });
    return app.exec();
}
