#include "core/menubar/DropAcceptance.h"
#include "core/menubar/DropPalettePanel.h"
#include "core/menubar/DropPalettePlacement.h"
#include "core/menubar/DropZoneView.h"
#include "core/menubar/MenuBarDropController.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WidgetTest.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <map>
#include <memory>

namespace {
// Time that moves only when the test says so.
class FakeClock {
public:
    MenuBarDropController::Scheduler scheduler() {
        return [this](int ms, std::function<void()> work) {
            auto task = std::make_shared<std::function<void()>>(std::move(work));
            m_tasks.emplace(m_now + ms, task);
            return std::function<void()>([task] { *task = nullptr; });
        };
    }
    // Runs everything due up to now + ms, in time order.
    void advance(int ms) {
        const int until = m_now + ms;
        while (!m_tasks.empty() && m_tasks.begin()->first <= until) {
            const auto [due, task] = *m_tasks.begin();
            m_tasks.erase(m_tasks.begin());
            m_now = due;
            if (const std::function<void()> work = std::exchange(*task, nullptr))
                work();
        }
        m_now = until;
    }
    int pending() const {
        return int(std::ranges::count_if(m_tasks, [](const auto& t) { return bool(*t.second); }));
    }

private:
    int m_now = 0;
    std::multimap<int, std::shared_ptr<std::function<void()>>> m_tasks;
};

// Records what the controller asks of the palette; shares a log with the test.
class FakePalette : public DropPaletteSurface {
public:
    FakePalette(Callbacks callbacks, QStringList& log)
        : callbacks(std::move(callbacks))
        , log(log) {}
    QSize size() const override { return {200, 110}; }
    void showAt(const QPoint&, bool untilDismissed) override {
        shown = true;
        log << (untilDismissed ? QStringLiteral("show until dismissed") : QStringLiteral("show"));
    }
    void hide() override {
        shown = false;
        log << QStringLiteral("hide");
    }
    bool isShown() const override { return shown; }

    Callbacks callbacks;
    QStringList& log;
    bool shown = false;
};

class DropPaletteTest : public WidgetTest {
protected:
    void SetUp() override {
        file = dir.filePath(QStringLiteral("sample.org"));
        other = dir.filePath(QStringLiteral("other.org"));
        writeFile(file, "* heading\n");
        writeFile(other, "* heading\n");
        folder = dir.filePath(QStringLiteral("Drafts"));
        QDir().mkpath(folder);
    }
    // A controller over a fake palette, the fake clock and a tray icon on a
    // 1920 × 1050 area below a top panel.
    std::unique_ptr<MenuBarDropController> controller() {
        TrayGeometry geometry;
        geometry.icon = [] { return std::optional(QRect(1700, 0, 24, 30)); };
        geometry.visibleArea = [](const QPoint&) { return QRect(0, 30, 1920, 1050); };
        return std::make_unique<MenuBarDropController>(
            [this](const QUrl& url) { log << QStringLiteral("teach ") + url.fileName(); },
            [this](DropPaletteSurface::Callbacks callbacks) {
                auto surface = std::make_unique<FakePalette>(std::move(callbacks), log);
                palette = surface.get();
                return surface;
            },
            geometry, clock.scheduler());
    }

    QTemporaryDir dir;
    QString file, other, folder;
    FakeClock clock;
    QStringList log;
    FakePalette* palette = nullptr;
};

QUrl local(const QString& path) {
    return QUrl::fromLocalFile(path);
}

TEST_F(DropPaletteTest, TakesExactlyOneExistingFileThatIsNotAFolder) {
    QFile::link(folder, dir.filePath(QStringLiteral("link-to-folder")));
    QFile::link(file, dir.filePath(QStringLiteral("link-to-file")));
    // QFile cannot name a file that is not valid UTF-8; the C library can.
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/\xff\xfe name.org";
    if (FILE* raw = std::fopen(bytes.constData(), "wb"))
        std::fclose(raw);
    const struct {
        const char* name;
        QList<QUrl> urls;
        bool accepted;
    } cases[] = {
        {"one file", {local(file)}, true},
        {"a link to a file", {local(dir.filePath(QStringLiteral("link-to-file")))}, true},
        {"a name that is not UTF-8", {LocalFileURL::fromNativePath(bytes)}, true},
        {"two files", {local(file), local(other)}, false},
        {"the same file twice", {local(file), local(file)}, false},
        {"a folder", {local(folder)}, false},
        {"a link to a folder", {local(dir.filePath(QStringLiteral("link-to-folder")))}, false},
        {"a web link", {QUrl(QStringLiteral("https://example.org/sample.org"))}, false},
        {"a file and a web link",
         {local(file), QUrl(QStringLiteral("https://example.org/"))},
         false},
        {"a file that does not exist", {local(dir.filePath(QStringLiteral("gone.org")))}, false},
        {"nothing", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DropAcceptance::acceptableFile(c.urls),
                  c.accepted ? std::optional(c.urls.first()) : std::nullopt);
        QMimeData data;
        data.setUrls(c.urls);
        EXPECT_EQ(DropAcceptance::acceptableFile(&data).has_value(), c.accepted);
    }
    QMimeData text;
    text.setText(file);
    EXPECT_FALSE(DropAcceptance::acceptableFile(&text)) << "a path as text is no file";
    EXPECT_FALSE(DropAcceptance::acceptableFile(static_cast<const QMimeData*>(nullptr)));
}

TEST_F(DropPaletteTest, PlacementCentresBelowTheIconAndKeepsInsideTheScreen) {
    const QSize size(200, 110);
    const QRect top(0, 30, 1920, 1050);   // a panel at the top
    const QRect bottom(0, 0, 1920, 1040); // a panel at the bottom
    const QRect right(1920, 0, 1280, 1024);
    const struct {
        const char* name;
        std::optional<QRect> icon;
        QRect area;
        QPoint origin;
    } cases[] = {
        {"centred 4 px below", QRect(900, 0, 24, 30), top, {812, 34}},
        {"left edge", QRect(2, 0, 24, 30), top, {4, 34}},
        {"right edge", QRect(1900, 0, 20, 30), top, {1920 - 200 - 4, 34}},
        {"tray at the bottom: above the icon",
         QRect(1800, 1044, 24, 36),
         bottom,
         {1800 + 12 - 100, 1044 - 4 - 110}},
        {"tray at the bottom right: above and inside",
         QRect(1890, 1044, 24, 36),
         bottom,
         {1920 - 200 - 4, 1044 - 4 - 110}},
        {"second screen, left edge", QRect(1921, 0, 24, 24), right, {1924, 28}},
        {"unknown icon: centred", std::nullopt, top, {860, 500}},
        {"empty icon counts as unknown", QRect(), top, {860, 500}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DropPalettePlacement::origin(c.icon, size, c.area), c.origin);
    }
}

// What the drag, the user and time do, step by step: show (a drag reached the
// icon), wait (shown from the menu), leave (the drag left the icon), left (the
// icon's watch noticed that), enter and exit (the palette), away (a click
// elsewhere), esc, drop, +N ms pass; and what holds then: shown, hidden,
// pending=N tasks, taught=N times.
TEST_F(DropPaletteTest, PaletteFollowsTheDragOrWaitsForTheUser) {
    const int grace = MenuBarDropController::clickAwayGraceMs;
    const QString until = QStringLiteral("show until dismissed");
    const struct {
        const char* what;
        QString steps;
        QStringList log;
    } cases[] = {
        {"leaving hides it 0.4 s later unless the drag reaches the palette",
         "show leave +300 enter pending=0 +5000 shown exit +399 shown +1 hidden pending=0",
         {"show", "hide"}},
        {"the palette hearing of the drag before the icon let go keeps it",
         "show enter left +5000 shown exit left pending=1 +400 hidden show left +400 hidden",
         {"show", "hide", "show", "hide"}},
        {"at most one hide is pending and the last one counts; the icon cancels it",
         "show leave +300 leave pending=1 +399 shown +1 hidden show leave show pending=0 +1000 "
         "shown",
         {"show", "hide", "show", "show"}},
        {"a drop hides it first and teaches once when the event loop is back",
         "show leave enter drop hidden taught=0 +0 taught=1 +5000 taught=1",
         {"show", "hide", "teach sample.org"}},
        // A click elsewhere may be the user picking up a file: a grace period,
        // which a drag reaching the palette ends.
        {"from the menu it waits for the user, not for drags",
         QString("wait enter exit +5000 shown show away +%1 enter +5000 shown away +%2 hidden "
                 "wait esc hidden show away pending=0")
             .arg(grace - 1)
             .arg(grace),
         {until, until, "hide", until, "hide", "show"}},
    };
    std::unique_ptr<MenuBarDropController> drops;
    const std::map<QString, std::function<void()>> actions{
        {"show", [&] { drops->showPalette(); }},
        {"wait", [&] { drops->showPaletteUntilDismissed(); }},
        {"leave", [&] { drops->scheduleHide(); }},
        {"left", [&] { drops->dragLeftIcon(); }},
        {"enter", [&] { palette->callbacks.dragEntered(); }},
        {"exit", [&] { palette->callbacks.dragExited(); }},
        {"away", [&] { palette->callbacks.clickedAway(); }},
        {"esc", [&] { palette->callbacks.dismissed(); }},
        {"drop", [&] { palette->callbacks.drop(local(file)); }},
        {"shown", [&] { EXPECT_TRUE(drops->isPaletteShown()); }},
        {"hidden", [&] { EXPECT_FALSE(drops->isPaletteShown()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clock = FakeClock();
        log.clear();
        drops = controller();
        for (const QString& step : c.steps.split(u' ')) {
            SCOPED_TRACE(step.toStdString());
            const int number = step.section(u'=', 1).toInt();
            if (step.startsWith(u'+'))
                clock.advance(step.mid(1).toInt());
            else if (step.startsWith(QLatin1String("pending=")))
                EXPECT_EQ(clock.pending(), number);
            else if (step.startsWith(QLatin1String("taught=")))
                EXPECT_EQ(log.count(QStringLiteral("teach sample.org")), number);
            else if (actions.contains(step))
                actions.at(step)();
            else
                ADD_FAILURE() << "no such step";
        }
        EXPECT_EQ(log, c.log);
    }
}

TEST_F(DropPaletteTest, WorkPendingWhenTheControllerGoesDoesNothing) {
    auto drops = controller();
    drops->showPalette();
    drops->scheduleHide();
    DropPaletteSurface::Callbacks callbacks = palette->callbacks;
    drops->handleDrop(local(file));
    drops.reset();
    clock.advance(1000);
    callbacks.drop(local(file));
    callbacks.dragExited();
    EXPECT_EQ(log.filter(QStringLiteral("teach")), QStringList{});
}

TEST_F(DropPaletteTest, PanelMarchesWhileAnAcceptableFileIsOverItAndReportsEscape) {
    int dismissed = 0;
    DropPaletteSurface::Callbacks callbacks;
    callbacks.dismissed = [&] { ++dismissed; };
    DropPalettePanel panel(callbacks, false);
    EXPECT_FALSE(panel.window()->mask().isEmpty()) << "cut to shape without a compositor";
    EXPECT_FALSE(panel.window()->mask().contains(QPoint(0, 0))) << "the corners are cut";
    // Shown for a drag, it must not take the focus from the drag's source.
    panel.showAt(QPoint(50, 60), false);
    EXPECT_TRUE(panel.window()->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(panel.window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    DropZoneView& zone = *panel.zone();
    EXPECT_FALSE(zone.accessibleName().isEmpty() || zone.toolTip().isEmpty());
    QList<QUrl> dropped;
    QObject::connect(&zone, &DropZoneView::dropped, [&](const QUrl& url) { dropped << url; });
    // A drag entering or dropped as the window system delivers it; whether the zone takes it.
    const auto deliver = [&](const QList<QUrl>& urls, bool drop) {
        QMimeData data;
        data.setUrls(urls);
        if (drop) {
            QDropEvent event(QPointF(100, 55), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&zone, &event);
            return event.isAccepted();
        }
        QDragEnterEvent event(QPoint(100, 55), Qt::CopyAction | Qt::MoveAction, &data,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&zone, &event);
        return event.isAccepted() && event.dropAction() == Qt::CopyAction;
    };
    // What it refuses is DropAcceptance's table above; two files stand for all
    // of it. What an accepted drop teaches, the drag end-to-end run shows.
    EXPECT_FALSE(deliver({local(file), local(other)}, false));
    EXPECT_FALSE(zone.isActive());
    ASSERT_TRUE(deliver({local(file)}, false));
    EXPECT_TRUE(zone.isActive());
    EXPECT_TRUE(zone.isMarching());
    EXPECT_TRUE(QTest::qWaitFor([&] { return zone.dashPhase() < 0; }, 3000)) << "the dashes move";
    EXPECT_GE(zone.dashPhase(), -13);
    QDragLeaveEvent leave;
    QApplication::sendEvent(&zone, &leave);
    EXPECT_FALSE(zone.isActive());
    EXPECT_FALSE(zone.isMarching());
    EXPECT_EQ(zone.dashPhase(), 0);
    // A drop is looked at again: its data need not be what the drag showed.
    ASSERT_TRUE(deliver({local(file)}, false));
    EXPECT_FALSE(deliver({local(file), local(other)}, true));
    EXPECT_TRUE(dropped.isEmpty());
    // Hidden, it ends the active look; shown from the menu, Escape dismisses it.
    panel.hide();
    EXPECT_FALSE(panel.isShown());
    EXPECT_FALSE(zone.isActive());
    panel.showAt(QPoint(50, 60), true);
    EXPECT_TRUE(panel.isShown());
    QTest::keyClick(&zone, Qt::Key_Escape);
    EXPECT_EQ(dismissed, 1);
}
} // namespace
