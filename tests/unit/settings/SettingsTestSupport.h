#pragma once

#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "core/platform/PlatformTexts.h"
#include "core/routing/OpenRequestParser.h"
#include "core/settings/DefaultRuleEditorSheet.h"
#include "core/settings/EditorURLTemplateSheet.h"
#include "core/settings/PermissionTilesView.h"
#include "core/settings/RuleEditorSheet.h"
#include "core/settings/RuleHotkeyAccess.h"
#include "core/settings/SettingsChoosers.h"
#include "core/settings/SettingsWindowController.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"
#include "tests/support/WidgetTest.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

// Answers the panels from queues (an empty queue answers "cancelled") and
// records what was asked.
class FakeSettingsChoosers : public SettingsChoosers {
public:
    QList<std::optional<QString>> folders;
    QList<std::optional<Application>> applications;
    QList<std::optional<QUrl>> files;
    QList<Request> requests;
    // Runs while a panel is open, as the tray or a file change could.
    std::function<void()> whileOpen;

    std::optional<QString> chooseFolder(QWidget*, const Request& request) override {
        requests.append(request);
        return folders.isEmpty() ? std::nullopt : folders.takeFirst();
    }
    std::optional<Application> chooseApplication(QWidget*, const Request& request) override {
        requests.append(request);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        return applications.isEmpty() ? std::nullopt : applications.takeFirst();
    }
    std::optional<QUrl> chooseFile(QWidget*, const Request& request) override {
        requests.append(request);
        return files.isEmpty() ? std::nullopt : files.takeFirst();
    }
};

// Rule hotkeys kept in the fake registry, so that rule summaries show them. A
// recorder is a button inside a widget that hands it the focus, as the real
// one; `setShortcut` stands in for a recording.
class FakeRuleHotkeys : public RuleHotkeyAccess {
public:
    explicit FakeRuleHotkeys(FakeShortcutRegistry& registry)
        : m_registry(registry) {}
    int stops = 0;

    std::optional<Shortcut> shortcut(const QString& name) const override {
        return m_registry.getShortcut(name);
    }
    void setShortcut(const QString& name, const std::optional<Shortcut>& shortcut) override {
        m_registry.setShortcut(shortcut, name);
    }
    QWidget* makeRecorder(const QString& name, QWidget* parent) override {
        auto* view = new QWidget(parent);
        auto* button = new QPushButton(
            m_registry.shortcutDisplayText(name).value_or(QStringLiteral("Record Shortcut")), view);
        button->setObjectName(QStringLiteral("hotkeyRecorderButton"));
        button->setToolTip(QStringLiteral("Click, then press the keys")); // as the real one has
        view->setFocusProxy(button);
        return view;
    }
    void stopRecording(QWidget*) override { ++stops; }

private:
    FakeShortcutRegistry& m_registry;
};

// A control tells a screen reader and the pointer what it is, in words that
// name nothing only macOS has.
inline void expectSaysWhatItIs(QWidget* control) {
    const QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(control);
    // Qt names a pop-up by its current item on Linux; the label is its property.
    const QString name = qobject_cast<QComboBox*>(control) ? control->accessibleName()
                                                           : a11y->text(QAccessible::Name);
    const std::string what =
        control->objectName().toStdString() + " " + control->metaObject()->className();
    EXPECT_FALSE(name.trimmed().isEmpty()) << what;
    // Titled by what they do, these have no tip of their own.
    const QStringList untipped{"qt_tabwidget_tabbar", "alwaysOpenCheckBox", "utilityCheckBox_",
                               "runShortcutsButton",  "runServicesButton",  "runScriptsButton"};
    if (std::ranges::none_of(untipped, [&](const QString& prefix) {
            return control->objectName().startsWith(prefix);
        })) {
        EXPECT_FALSE(control->toolTip().trimmed().isEmpty()) << what;
    }
    for (const char* macOnly :
         {"Finder", "macOS", "System Settings", "VoiceOver", "menu bar", "Menu Bar", "\u2318"})
        EXPECT_FALSE((name + control->toolTip()).contains(QString::fromUtf8(macOnly)))
            << what << ": " << (name + control->toolTip()).toStdString();
}

inline const QString kate = QStringLiteral("org.kde.kate");
inline const QString gedit = QStringLiteral("org.gnome.gedit");
inline const QString gammaApp = QStringLiteral("org.example.Gamma");

inline Rule folderRule(const QString& id, const QString& folder, const QString& editor) {
    Rule rule = RuleBuilders::rule(
        RuleBuilders::allOf({RuleBuilders::parentFolder(EqualityOperator::is, folder)}),
        RuleBuilders::openIn({editor}));
    rule.id = id;
    return rule;
}

// An "Org document" custom route: Alpha, Beta (active), Gamma (off), all added
// by hand, and the rules R1 and R2.
inline Route orgRoute() {
    Route r = makeCustomRoute(QStringLiteral("custom.org"), QStringLiteral("Org document"),
                              QStringLiteral("org"));
    r.probeIdentifiers = {QStringLiteral("text/x-org")};
    r.editors = {editor(alpha), editor(beta), editor(gammaApp)};
    r.editors[2].enabled = false;
    r.activeBundleID = beta;
    r.rules = {folderRule(QStringLiteral("R1"), QStringLiteral("/srv/notes"), alpha),
               folderRule(QStringLiteral("R2"), QStringLiteral("/srv/work"), beta)};
    r.normalizePreferenceOrder();
    return r;
}

// A fake platform with two markdown editors and two terminals installed, a
// routes file in a temporary folder, the store over it and the window.
struct SettingsWorld {
    FakePlatform fake;
    QTemporaryDir dir;
    std::unique_ptr<RouteStore> store;
    FakeSettingsChoosers choosers;
    FakeRuleHotkeys hotkeys{fake.shortcuts};
    std::unique_ptr<SettingsWindowController> window;
    QList<QUrl> taught;
    std::optional<QString> teachingResult;
    int onboardingShown = 0;
    int historyCleared = 0;
    int closed = 0;
    // Creates the window in Application Scripts mode.
    bool applicationScriptsMode = false;

    SettingsWorld() {
        fake.workspace.install(
            {kate, QStringLiteral("Kate"), {QStringLiteral("text/markdown")}, {}, {}, {}});
        fake.workspace.install(
            {gedit, QStringLiteral("Gedit"), {QStringLiteral("text/markdown")}, {}, {}, {}});
        fake.workspace.install(
            {QStringLiteral("org.gnome.Terminal"), QStringLiteral("Terminal"), {}, {}, {}, {}});
        fake.workspace.install({QStringLiteral("kitty"), QStringLiteral("kitty"), {}, {}, {}, {}});
        fake.types.addType(QStringLiteral("text/x-org"), {QStringLiteral("org")},
                           {QStringLiteral("text/plain")}, QStringLiteral("Org document"));
    }

    QString path() const { return dir.filePath(QStringLiteral("routes.json")); }

    void open(const QList<Route>& routes = {orgRoute()}) {
        window.reset();
        writeRoutes(path(), routes);
        store = std::make_unique<RouteStore>(fake.types, fake.workspace, path());
        SettingsWindowController::Hooks hooks;
        hooks.addTypeFromURL = [this](const QUrl& url) {
            taught.append(url);
            return teachingResult;
        };
        hooks.onShowOnboarding = [this] { ++onboardingShown; };
        hooks.clearHistory = [this] { ++historyCleared; };
        hooks.onWillClose = [this] { ++closed; };
        hooks.usesApplicationScripts = [] { return false; };
        hooks.ruleLinkTemplate = &urlSchemeTemplate;
        window = std::make_unique<SettingsWindowController>(*store, fake.platform(), choosers,
                                                            hotkeys, std::move(hooks), true,
                                                            applicationScriptsMode);
        if (store->routeWithID(QStringLiteral("custom.org")))
            window->show(QStringLiteral("custom.org"));
    }

    // A control of the window (or of a sheet on it) by its object name.
    template <typename W = QWidget> W* child(const QString& name) const {
        W* found = window->findChild<W*>(name);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }
    void click(const QString& name) const {
        if (auto* b = child<QAbstractButton>(name))
            b->click();
    }

    Route route(const QString& id = QStringLiteral("custom.org")) const {
        return store->routeWithID(id).value_or(Route());
    }
    // Edits the routes file by hand, as a user in a text editor would; with
    // `reload` the store reads it again, as its file watcher has it do.
    void handEdit(const std::function<void(QList<Route>&)>& edit, bool reload = true) {
        QList<Route> routes = routesOnDisk();
        edit(routes);
        replaceFile(path(), encodedRoutes(routes));
        if (reload)
            store->reloadIfChanged();
    }
    // The routes as the file on disk holds them.
    QList<Route> routesOnDisk() const {
        const auto decoded = RoutesFileCodec::decode(readFile(path()));
        const auto* state = std::get_if<RouteStoreState>(&decoded);
        return state ? state->routes : QList<Route>();
    }
};
