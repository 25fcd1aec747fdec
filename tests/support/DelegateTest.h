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

    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    UtilityPerformer utilities{fake.platform()};
    std::unique_ptr<AppDelegate> delegate;
};
