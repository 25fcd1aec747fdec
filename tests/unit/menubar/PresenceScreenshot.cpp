// Not a test: shows the drop palette or a page of onboarding and saves a
// picture of it. Run under xvfb-run:
//   presence_screenshot palette-idle|palette-active|onboarding-0|onboarding-1|onboarding-2 OUT.png
#include "core/menubar/DropPalettePanel.h"
#include "core/menubar/DropZoneView.h"
#include "core/menubar/OnboardingWindowController.h"
#include "platform/linux/X11Compositing.h"
#include "tests/support/FakeDesktopTray.h"
#include "tests/support/FakeServices.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: presence_screenshot WHAT OUT.png\n");
        return 2;
    }
    const QString what = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const bool translucent = X11Compositing::windowsCanBeTranslucent();
    FakePreferences preferences;
    FakeDesktopTray tray;
    FakeLoginItem loginItem;
    std::unique_ptr<DropPalettePanel> palette;
    std::unique_ptr<OnboardingWindowController> onboarding;
    QWidget* shot = nullptr;
    if (what.startsWith(QLatin1String("palette"))) {
        palette = std::make_unique<DropPalettePanel>(DropPaletteSurface::Callbacks{}, translucent);
        palette->showAt(QPoint(40, 40), false);
        palette->zone()->setActive(what.endsWith(QLatin1String("active")));
        shot = palette->window();
    } else {
        TrayGeometry geometry;
        geometry.icon = [] { return QRect(600, 0, 24, 24); };
        geometry.visibleArea = [](const QPoint&) {
            return QGuiApplication::primaryScreen()->availableGeometry();
        };
        onboarding = std::make_unique<OnboardingWindowController>(preferences, tray, loginItem,
                                                                  geometry, translucent);
        onboarding->showOnboarding();
        const int page = what.right(1).toInt();
        for (int i = 0; i < page; ++i)
            onboarding->nextTapped();
        shot = onboarding.get();
    }
    QTimer::singleShot(500, &app, [&] {
        // The whole screen: the arrow panel is a window of its own.
        const bool whole = what == QLatin1String("onboarding-1");
        const QPixmap picture =
            whole ? QGuiApplication::primaryScreen()->grabWindow(0) : shot->grab();
        app.exit(picture.save(out) ? 0 : 1);
    });
    return app.exec();
}
