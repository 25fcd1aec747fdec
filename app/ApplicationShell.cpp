#include "app/ApplicationShell.h"

#include "app/ApplicationService.h"
#include "app/DistributionBootstrap.h"
#include "app/EarlyHandOff.h"
#include "app/OpenArguments.h"
#include "app/RoutesFileOwner.h"
#include "app/SessionBusHandOff.h"
#include "app/SingleInstance.h"
#include "app/TerminalPickerPresenter.h"
#include "core/history/RoutingHistoryFile.h"
#include "core/model/RoutesFileLocation.h"
#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/pickers/WidgetPickerPresenter.h"
#include "core/platform/LauncherProgram.h"
#include "core/platform/StartupTimeline.h"
#include "core/routing/AppDelegate.h"
#include "core/routing/DialogAlerts.h"
#include "core/selection/FileManagerActionsKeeper.h"
#include "core/selection/SelectionScriptRunner.h"
#include "platform/linux/FreedesktopNotifications.h"
#include "platform/linux/GLibMainContext.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/X11Compositing.h"
#include "platform/linux/X11KeyboardMap.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <glib-unix.h>
#include <memory>
#include <utility>

namespace {
// How long a run without a tray may wait for launches to report.
constexpr int headlessRunLimitMs = 60000;
// How long an instance the bus started waits for its request before building the tray.
constexpr int busRequestWaitMs = 1000;

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Corvanta"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANTA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.corvanta.Corvanta"));
}

// Outside a desktop environment Qt looks for icons only in hicolor, which has
// no action or place icons; Adwaita, installed with Corvanta, fills the gaps.
void fillIconGapsFromAdwaita() {
    if (QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

// The session ends with SIGTERM: quit as from the menu, so that what Corvanta
// holds on the clipboard goes to the clipboard manager first. Only where Qt
// runs GLib's main context; elsewhere the signal keeps its default action.
guint quitOnTerminate() {
    if (!glibMainContextRuns())
        return 0;
    const auto quit = [](gpointer) {
        QCoreApplication::quit();
        return gboolean(G_SOURCE_CONTINUE);
    };
    return g_unix_signal_add(SIGTERM, quit, nullptr);
}

// Everything one process of Corvanta holds for its run.
struct Session {
    Session(bool graphical, RouteStore::Access access) {
        StartupTimeline::mark("ports ready");
        if (graphical)
            linux.setAlerts(dialogs);
        const Platform platform = linux.platform();
        if (graphical) {
            auto widgets = std::make_unique<WidgetPickerPresenter>(
                platform.workspace, X11Compositing::windowsCanBeTranslucent);
            widgets->setActivation(&linux.activation());
            widgets->setDigitLookup(digitOnKey);
            pickers = std::move(widgets);
        } else
            pickers = std::make_unique<TerminalPickerPresenter>();
        utilities = std::make_unique<UtilityPerformer>(platform);
        delegate = std::make_unique<AppDelegate>(platform, *pickers, *utilities, std::nullopt,
                                                 nullptr, access);
        // Used only while the selection comes from the installed helpers.
        delegate->setSelectionScriptRun(
            [runner = SelectionScriptRunner(platform.processes),
             clipboard = &linux.clipboardSelection()](const ScriptableFileManager& manager) {
                return clipboard->aroundHelper([&] { return runner.selectedFiles(manager); });
            });
        StartupTimeline::mark("routes loaded");
    }

    // GIO announces every launch on the session bus through its shared
    // connection and closes that connection when nothing else holds it, so
    // each launch paid for connecting and authenticating first. Held here for
    // the run instead.
    GObjectPtr<GDBusConnection> launchAnnouncements{
        qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")
            ? g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)
            : nullptr};
    LinuxPlatform linux;
    DialogAlerts dialogs{&linux.activation()};
    std::unique_ptr<PickerPresenter> pickers;
    std::unique_ptr<UtilityPerformer> utilities;
    std::unique_ptr<AppDelegate> delegate;
};

// Routes in this process with alerts on standard error, and returns once the
// run (launches included) is over. Only when no other process owns the routes
// file may this one write it (teaching a type, rewriting it at load).
// Files sent for rule hotkeys go the way a hotkey's selection goes; others
// are opened.
void deliver(AppDelegate& delegate, const QList<QUrl>& urls,
             const std::optional<QSet<QString>>& hotkeyNames) {
    if (hotkeyNames)
        delegate.routeGivenSelection(urls, *hotkeyNames);
    else
        delegate.applicationOpenURLs(urls);
}

int routeHere(const QList<QUrl>& urls, const std::optional<QSet<QString>>& hotkeyNames) {
    const RoutesFileOwner owner(RoutesFileLocation::defaultFilePath());
    Session session(false, owner.access());
    AppDelegate& delegate = *session.delegate;
    if (delegate.store().loadFailed() && delegate.store().loadFailureMessage())
        std::fprintf(stderr, "corvanta: Could not load settings: %s\n",
                     qPrintable(*delegate.store().loadFailureMessage()));
    deliver(delegate, urls, hotkeyNames);
    if (delegate.pipeline().isIdle())
        return 0;
    QObject::connect(&delegate.pipeline(), &RoutingPipeline::becameIdle,
                     QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    QTimer::singleShot(headlessRunLimitMs, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    return 0;
}

// The object behind the bus name. Requests reach the delegate once it exists;
// the bus delivers none before the event loop runs.
class ServiceObject : public QObject {
public:
    ServiceObject() {
        auto* service = new ApplicationService(
            this,
            [this](const QList<QUrl>& urls) {
                if (delegate)
                    delegate->applicationOpenURLs(urls);
            },
            [this](const QString& action, const QVariantList& parameter) {
                if (!delegate)
                    return;
                if (action == QLatin1String("teach")) {
                    // `corvanta teach FILE` hands its sample here, where the routes file is
                    // written.
                    const QList<QUrl> samples = OpenArguments::fromURIs(
                        ApplicationService::stringsFromParameter(parameter));
                    for (const QUrl& sample : samples) {
                        if (sample.isLocalFile() && delegate)
                            delegate->addTypeFromURL(sample);
                    }
                } else if (action == QLatin1String("open-with-hotkeys")) {
                    // A file-manager action: its files, treated as a hotkey fire's selection.
                    const auto request = ApplicationService::hotkeyOpenFromParameter(
                        ApplicationService::stringsFromParameter(parameter));
                    if (request)
                        delegate->routeGivenSelection(request->second, request->first);
                } else if (action == QLatin1String("quit"))
                    delegate->terminate();
                else if (action == QLatin1String("settings"))
                    delegate->openSettings();
                else if (action == QLatin1String("about"))
                    delegate->showAbout();
            },
            [this](const std::optional<QString>& token) {
                if (activation)
                    activation->setRequestToken(token);
                // Every request waits one turn of the event loop, so two turns
                // come after it.
                if (afterFirstRequest)
                    QTimer::singleShot(0, this,
                                       [this, next = std::exchange(afterFirstRequest, {})] {
                                           QTimer::singleShot(0, this, next);
                                       });
            });
        service->onActivate = [this] {
            if (delegate)
                delegate->applicationDidActivate();
        };
    }
    QPointer<AppDelegate> delegate;
    WindowActivation* activation = nullptr;
    std::function<void()> afterFirstRequest;
};

// The bus starts Corvanta for the request of a double-click made while none ran.
bool startedByBus() {
    return qEnvironmentVariableIsSet("DBUS_STARTER_BUS_TYPE");
}

// The tray instance; opens `urls` once launching has finished. It owns the
// routes file, or does not run: a second tray (one without a session bus, or
// on another bus) would write the file behind the first one's back.
int runInstance(QDBusConnection bus, ServiceObject& service, LaunchReason reason,
                const QList<QUrl>& urls, bool mayAwaitRequest,
                const std::optional<QSet<QString>>& hotkeyNames = std::nullopt) {
    const RoutesFileOwner owner(RoutesFileLocation::defaultFilePath());
    if (!owner.owns()) {
        std::fprintf(stderr, "corvanta: not starting a second tray: %s\n",
                     qPrintable(owner.refusal()));
        return 1;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    Session session(true, RouteStore::Access::readWrite);
    AppDelegate& delegate = *session.delegate;
    delegate.setWindowsCanBeTranslucent(X11Compositing::windowsCanBeTranslucent);
    const DistributionBootstrap bootstrap(delegate, makeUpdateService());
    service.delegate = &delegate;
    service.activation = &session.linux.activation();
    delegate.setWindowActivation(&session.linux.activation());
    RoutingHistory history(session.linux.platform().preferences, RoutingHistoryFile::defaultPath());
    delegate.setRoutingHistory(&history);
    FreedesktopNotifications notifications(bus);
    delegate.setNotifications(&notifications);
    std::unique_ptr<FileManagerActionsKeeper> actionsKeeper;
    if (const auto folders = XdgFolders::fromEnvironment()) {
        actionsKeeper = std::make_unique<FileManagerActionsKeeper>(
            delegate.store(), session.linux.platform().shortcuts,
            FileManagerActionsInstaller(*folders, LauncherProgram::path()),
            FileManagerActionsInstaller::installedFileManagers());
        // Rules may have changed while Corvanta was not running.
        actionsKeeper->refresh();
    }
    // The file that started Corvanta goes to its editor before the tray, its
    // menu, the hotkeys and the onboarding are built; so does the request the
    // bus started it for, unless it never comes.
    const auto finishLaunching = [&delegate, reason, done = std::make_shared<bool>(false)] {
        if (!std::exchange(*done, true))
            delegate.applicationDidFinishLaunching(reason);
    };
    if (urls.isEmpty() && mayAwaitRequest && startedByBus()) {
        service.afterFirstRequest = finishLaunching;
        QTimer::singleShot(busRequestWaitMs, &delegate, finishLaunching);
    } else {
        QTimer::singleShot(0, &delegate, [&delegate, urls, hotkeyNames, finishLaunching] {
            if (!urls.isEmpty())
                deliver(delegate, urls, hotkeyNames);
            QTimer::singleShot(0, &delegate, finishLaunching);
        });
    }
    const guint terminated = quitOnTerminate();
    StartupTimeline::mark("event loop");
    const int status = QApplication::exec();
    service.afterFirstRequest = nullptr;
    if (terminated)
        g_source_remove(terminated);
    if (bus.isConnected()) {
        bus.unregisterService(QLatin1String(SingleInstance::serviceName));
        bus.unregisterObject(QLatin1String(SingleInstance::objectPath));
    }
    return status;
}

// `corvanta` and `corvanta open`: become the instance, or hand over to it.
// `hotkeyNames` are set when a file-manager action sent the files.
int start(int argc, char** argv, LaunchReason reason, const QList<QByteArray>* openArguments,
          const std::optional<QSet<QString>>& hotkeyNames = std::nullopt,
          bool mayAwaitRequest = true) {
    QList<QUrl> urls;
    if (openArguments) {
        urls = OpenArguments::toURLs(*openArguments, OpenArguments::currentFolder());
        if (urls.isEmpty()) {
            std::fprintf(stderr, "Usage: corvanta open FILE|URL...\n");
            return 2;
        }
        // Most of the time an instance runs: hand over before paying for a
        // display connection. The launcher has tried already; this is for a
        // start of this program itself and an instance that appeared since.
        if (SessionBusHandOff::route(urls, hotkeyNames))
            return 0;
    }
    // Files to open are not options: one called "-platform" must not reach
    // Qt's own option parsing (which would end the program over it).
    int qtArgc = openArguments ? 1 : argc;
    if (!EarlyHandOff::displayAnnounced()) {
        if (!openArguments) {
            std::fprintf(stderr, "corvanta: no display to show the tray icon on\n");
            return 1;
        }
        // The hand-off above found no instance to take the files.
        QCoreApplication app(qtArgc, argv);
        describeApplication();
        return routeHere(urls, hotkeyNames);
    }

    QApplication app(qtArgc, argv);
    StartupTimeline::mark("QApplication");
    describeApplication();
    fillIconGapsFromAdwaita();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (openArguments)
            return routeHere(urls, hotkeyNames);
        std::fprintf(stderr, "corvanta: no session bus; running without single-instance "
                             "hand-off, files reach Corvanta only with `corvanta open`\n");
        ServiceObject service;
        return runInstance(bus, service, reason, urls, mayAwaitRequest);
    }

    // The object answers before the name is ours, so no request can find the
    // name without the object behind it.
    ServiceObject service;
    bus.registerObject(QLatin1String(SingleInstance::objectPath), &service,
                       QDBusConnection::ExportAdaptors);
    SingleInstance instance(bus);
    if (instance.claim())
        return runInstance(bus, service, reason, urls, mayAwaitRequest, hotkeyNames);
    bus.unregisterObject(QLatin1String(SingleInstance::objectPath));
    // Started at login or by the bus while one runs: nothing to ask of it.
    if (!openArguments && reason != LaunchReason::activate)
        return 0;

    QString error;
    // A second `corvanta` means the user is looking for it: without a visible
    // tray icon the settings window is the only way to reach it.
    const bool handed = hotkeyNames ? SessionBusHandOff::route(urls, hotkeyNames)
                        : openArguments
                            ? instance.forwardOpen(urls, &error)
                            : instance.forwardAction(QStringLiteral("settings"), &error);
    if (handed)
        return 0;
    std::fprintf(stderr, "corvanta: the running Corvanta did not answer: %s\n", qPrintable(error));
    return openArguments ? routeHere(urls, hotkeyNames) : 1;
}
} // namespace

namespace ApplicationShell {
int runTray(int argc, char** argv, LaunchReason reason, bool mayAwaitRequest) {
    return start(argc, argv, reason, nullptr, std::nullopt, mayAwaitRequest);
}

int runOpen(int argc, char** argv, const QList<QByteArray>& arguments) {
    if (OpenArguments::isHotkeyOpen(arguments)) {
        const auto request = OpenArguments::hotkeyOpen(arguments);
        if (!request) {
            std::fprintf(stderr, "Usage: corvanta open --hotkey NAME... -- FILE...\n");
            return 2;
        }
        // Started from a file manager: no instance yet means this one becomes it.
        return start(argc, argv, LaunchReason::open, &request->files,
                     QSet<QString>(request->hotkeyNames.begin(), request->hotkeyNames.end()));
    }
    // The desktop entry's Exec line is `corvanta open %U`: launched from a menu
    // without files, it starts the tray like `corvanta` does.
    if (arguments.isEmpty())
        return start(argc, argv, LaunchReason::activate, nullptr);
    return start(argc, argv, LaunchReason::open, &arguments);
}
} // namespace ApplicationShell
