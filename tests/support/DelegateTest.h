#pragma once

#include "core/pickers/UtilityPerformer.h"
#include "core/routing/AppDelegate.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/WidgetTest.h"

#include <QMenu>
#include <QTemporaryDir>
#include <memory>

// The tray's delegate over the fake platform and a routes file in a temporary folder.
class DelegateTest : public WidgetTest {
protected:
    QString routesPath() const { return dir.filePath(QStringLiteral("routes.json")); }
    // A run of Corvanta on the routes file, replacing the one before; launching is
    // done, the event loop has not turned yet.
    void launch(LaunchReason reason = LaunchReason::activate) {
        delegate.reset();
        delegate = std::make_unique<AppDelegate>(fake.platform(), pickers, utilities, routesPath());
        delegate->applicationDidFinishLaunching(reason);
    }
    // The tray menu's entries as they are when it opens.
    QList<QAction*> trayItems() {
        Q_EMIT delegate->tray().menu()->aboutToShow();
        return delegate->tray().menu()->actions();
    }
    QAction* trayItem(const QString& title) {
        for (QAction* action : trayItems()) {
            if (action->text() == title)
                return action;
        }
        return nullptr;
    }
    // Starts the delegate over a routes file holding `routes` (or the given bytes),
    // with Corvanta's own entry and the editors Alpha and Beta installed.
    void start(const QList<Route>& routes, const QByteArray& bytes = {}) {
        fake.workspace.install(
            {QStringLiteral("io.corvanta.Corvanta"), "Corvanta", {}, {}, {}, {}});
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        writeRoutes(routesPath(), routes, bytes);
        launch(LaunchReason::login);
    }
    // The menu's titles as the user sees them when it opens.
    QStringList menu() {
        QStringList titles;
        for (const QAction* action : trayItems())
            titles << (action->isSeparator() ? QStringLiteral("---") : action->text());
        return titles;
    }
    QList<QAction*> submenu(const QString& title) {
        QAction* item = trayItem(title);
        return item ? item->menu()->actions() : QList<QAction*>();
    }

    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    UtilityPerformer utilities{fake.platform()};
    std::unique_ptr<AppDelegate> delegate;
};
