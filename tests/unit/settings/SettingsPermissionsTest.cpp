#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/ScriptableFileManager.h"
#include "core/settings/FileManagerActionsRow.h"
#include "tests/support/TestFiles.h"
#include "tests/unit/settings/SettingsTestSupport.h"

namespace {

// Points HOME, the XDG folders and PATH into `home` for the test's life.
class HomeOverride {
public:
    explicit HomeOverride(const QTemporaryDir& home) {
        for (const auto& [name, folder] : variables) {
            m_saved.append(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                           : std::nullopt);
            qputenv(name, QFile::encodeName(*folder ? home.filePath(folder) : home.path()));
        }
    }
    ~HomeOverride() {
        for (qsizetype i = 0; i < m_saved.size(); ++i)
            m_saved[i] ? qputenv(variables[i].first, *m_saved[i]) : qunsetenv(variables[i].first);
    }

private:
    static constexpr std::pair<const char*, const char*> variables[] = {
        {"HOME", ""}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"}, {"PATH", "bin"}};
    QList<std::optional<QByteArray>> m_saved;
};

class SettingsPermissionsTest : public WidgetTest {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    QString scriptsFolder() const { return *ApplicationScriptsInstaller::defaultDirectory(); }
    PermissionTilesView* tiles() const { return world.window->permissionTiles(); }
    QString automationText() const { return tiles()->automationStatus()->text(); }

    QTemporaryDir home;
    HomeOverride env{home};
    SettingsWorld world;
};

// The tile's texts for each state are the permissions' own table; here what
// the window finds on disk and runs.
TEST_F(SettingsPermissionsTest, ScriptsInstallIsOfferedOnceAndTheStatusFollowsTheHelper) {
    QStringList logged;
    static QStringList* sink = nullptr;
    sink = &logged;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { sink->append(text); });

    world.applicationScriptsMode = true;
    world.open();
    settle();
    ASSERT_EQ(world.choosers.requests.size(), 1) << "offered when the window first shows";
    const SettingsChoosers::Request asked = world.choosers.requests.first();
    EXPECT_EQ(asked.prompt, "Select Folder");
    EXPECT_EQ(asked.directory, scriptsFolder());
    EXPECT_TRUE(asked.message.startsWith("Corvanta needs to install helper scripts"));
    EXPECT_TRUE(logged.contains("Corvanta: Application Scripts install was cancelled or failed"));
    EXPECT_EQ(automationText(), "○ scripts needed — Install Scripts…");

    world.window->show();
    settle();
    EXPECT_EQ(world.choosers.requests.size(), 1) << "never offered twice";

    // Request… needs the helpers first; cancelled, nothing is asked.
    tiles()->requestAutomationButton()->click();
    settle();
    EXPECT_EQ(world.choosers.requests.size(), 2);
    EXPECT_EQ(automationText(), "○ scripts needed — Install Scripts…");

    // A folder inside the Application Scripts folder means the folder itself.
    QPushButton* install = tiles()->installScriptsButton();
    ASSERT_TRUE(install);
    EXPECT_EQ(install->text(), "Install Scripts…");
    QDir().mkpath(scriptsFolder() + QStringLiteral("/inner"));
    world.choosers.folders = {scriptsFolder() + QStringLiteral("/inner")};
    world.fake.selectionPermissions.automation = AutomationStatus::granted;
    logged.clear();
    install->click();
    settle();
    EXPECT_EQ(world.choosers.requests.size(), 3);
    EXPECT_TRUE(ApplicationScriptsInstaller::areScriptsCurrent(scriptsFolder()));
    EXPECT_FALSE(QFileInfo::exists(scriptsFolder() + QStringLiteral("/inner/") +
                                   ScriptableFileManager::builtins().first().scriptFileName));
    EXPECT_EQ(automationText(), "● granted");
    EXPECT_TRUE(logged.isEmpty()) << "only the automatic offer logs";
    qInstallMessageHandler(previous);

    const struct {
        const char* name;
        bool installed;
        AutomationStatus status;
        std::optional<ProcessResult> helper; // none: the helper must not run
        QString text;
    } cases[] = {
        {"no helpers", false, AutomationStatus::granted, std::nullopt,
         QStringLiteral("○ scripts needed — Install Scripts…")},
        {"helper answers with nothing selected", true, AutomationStatus::unavailable,
         ProcessResult{std::nullopt, false, false, 0, {}, {}}, QStringLiteral("● granted")},
        {"helper times out, denied", true, AutomationStatus::denied,
         ProcessResult{std::nullopt, true, false, std::nullopt, {}, {}},
         QStringLiteral("○ denied — enable in Settings")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(scriptsFolder()).removeRecursively();
        if (c.installed) {
            ASSERT_TRUE(ApplicationScriptsInstaller::install(scriptsFolder()));
        }
        world.fake.selectionPermissions.automation = c.status;
        world.fake.processes.runs.clear();
        world.fake.processes.responder = [&c](const ProcessRequest&) {
            return c.helper.value_or(ProcessResult{});
        };
        tiles()->refresh();
        EXPECT_EQ(automationText(), c.text);
        ASSERT_EQ(world.fake.processes.runs.size(), c.helper ? 1 : 0);
        if (c.helper) {
            const ProcessRequest& run = world.fake.processes.runs.first();
            EXPECT_EQ(QFile::decodeName(run.program),
                      QDir(scriptsFolder())
                          .filePath(ScriptableFileManager::builtins().first().scriptFileName));
            EXPECT_EQ(run.timeout, std::chrono::milliseconds(2000));
        }
    }
    world.fake.processes.responder = nullptr;

    // Current helpers: a new window offers nothing.
    world.open();
    settle();
    EXPECT_EQ(world.choosers.requests.size(), 3);
}

TEST_F(SettingsPermissionsTest, DefaultModeOffersNothingAndTilesAndButtonsFollowTheDesktop) {
    world.fake.desktopSettings.accessibilityPanel = false;
    world.fake.shortcuts.confirmsBindings = true;
    world.open();
    settle();
    EXPECT_TRUE(world.choosers.requests.isEmpty());
    EXPECT_TRUE(world.fake.processes.runs.isEmpty());
    EXPECT_FALSE(tiles()->installScriptsButton());
    EXPECT_FALSE(tiles()->openAccessibilitySettingsButton());
    // Where the desktop confirms the keys, file manager actions are the sure way.
    const QLabel* note = world.window->fileManagerActions()->bindingsNote();
    ASSERT_TRUE(note);
    EXPECT_EQ(note->text(), PlatformTexts::Linux::confirmsBindingsNote);

    // Every show asks the desktop again, once the window is up.
    const struct {
        bool accessibility;
        AutomationStatus automation;
        QString accessibilityText, automationText;
    } cases[] = {
        {true, AutomationStatus::denied, "● granted", "○ denied — enable in Settings"},
        {false, AutomationStatus::granted, "○ not granted", "● granted"},
    };
    for (const auto& c : cases) {
        world.fake.selectionPermissions.accessibilityEnabled = c.accessibility;
        world.fake.selectionPermissions.automation = c.automation;
        world.window->show();
        settle();
        EXPECT_EQ(tiles()->accessibilityStatus()->text(), c.accessibilityText);
        EXPECT_EQ(automationText(), c.automationText);
    }
    // Granted and attention read in different colours.
    EXPECT_NE(tiles()->accessibilityStatus()->palette().color(QPalette::WindowText),
              tiles()->automationStatus()->palette().color(QPalette::WindowText));
    tiles()->requestAccessibilityButton()->click();
    EXPECT_EQ(world.fake.selectionPermissions.enableRequests, 1);
    EXPECT_EQ(tiles()->accessibilityStatus()->text(), "● granted");

    world.fake.desktopSettings.accessibilityPanel = true;
    world.open();
    QPushButton* open = tiles()->openAccessibilitySettingsButton();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), "Open Settings…");
    open->click();
    EXPECT_EQ(world.fake.desktopSettings.accessibilityOpened, 1);
    // Automation has no panel of its own on these desktops.
    EXPECT_FALSE(world.window->findChild<QPushButton*>("openAutomationSettingsButton"));
}

TEST_F(SettingsPermissionsTest, FileManagerActionsInstallAndRemoveOnlyOurs) {
    // Nautilus and Thunar installed; the user has a script of their own.
    writeFile(home.filePath("bin/nautilus"), "#!/bin/sh\n", true);
    writeFile(home.filePath("bin/thunar"), "#!/bin/sh\n", true);
    const QString userScript = home.filePath("data/nautilus/scripts/My Script");
    const QByteArray userScriptBytes = "#!/bin/sh\necho mine\n";
    writeFile(userScript, userScriptBytes, true);
    const QString uca = home.filePath("config/Thunar/uca.xml");

    namespace texts = PlatformTexts::Linux;
    world.open();
    FileManagerActionsRow* row = world.window->fileManagerActions();
    ASSERT_TRUE(row);
    QPushButton* button = row->button();
    EXPECT_EQ(button->text(), texts::installFileManagerActions);
    EXPECT_FALSE(row->bindingsNote());

    // No rule has a hotkey yet: said so, nothing written.
    button->click();
    ASSERT_EQ(world.fake.alerts.shown.size(), 1);
    EXPECT_EQ(world.fake.alerts.shown.last().messageText, texts::noHotkeyTitle);
    EXPECT_EQ(QDir(home.filePath("data/nautilus/scripts")).entryList(QDir::Files).size(), 1);

    world.hotkeys.setShortcut(QStringLiteral("rule-R1"),
                              Shortcut{Qt::Key_K, Qt::ControlModifier | Qt::AltModifier});
    // Cancelled: nothing written.
    world.fake.alerts.answers = {1};
    button->click();
    ASSERT_EQ(world.fake.alerts.shown.size(), 2);
    const AlertRequest confirm = world.fake.alerts.shown.last();
    EXPECT_EQ(confirm.messageText, texts::confirmInstallTitle);
    EXPECT_EQ(confirm.informativeText,
              QString(texts::confirmInstallText).arg("Nautilus and Thunar").arg(1));
    EXPECT_EQ(confirm.buttons, (QStringList{texts::installButton, texts::cancelButton}));
    EXPECT_EQ(confirm.cancelButton, 1);
    EXPECT_FALSE(QFileInfo::exists(uca));
    EXPECT_EQ(button->text(), texts::installFileManagerActions);

    world.fake.alerts.answers = {0, 0};
    button->click();
    ASSERT_EQ(world.fake.alerts.shown.size(), 4);
    const AlertRequest installed = world.fake.alerts.shown.last();
    EXPECT_EQ(installed.messageText, texts::installedTitle);
    EXPECT_TRUE(installed.informativeText.startsWith("Installed:\n~/data/nautilus/scripts/"))
        << installed.informativeText.toStdString();
    EXPECT_TRUE(installed.informativeText.contains("~/config/Thunar/uca.xml"));
    EXPECT_EQ(QDir(home.filePath("data/nautilus/scripts")).entryList(QDir::Files).size(), 2);
    EXPECT_FALSE(QDir(home.filePath("data/nemo/actions")).exists()) << "Nemo is not installed";
    EXPECT_TRUE(readFile(uca).contains("corvanta-rule-R1"));
    EXPECT_EQ(button->text(), texts::removeFileManagerActions);

    world.fake.alerts.answers = {0, 0};
    button->click();
    ASSERT_EQ(world.fake.alerts.shown.size(), 6);
    EXPECT_EQ(world.fake.alerts.shown.at(4).messageText, texts::confirmRemoveTitle);
    EXPECT_EQ(world.fake.alerts.shown.last().messageText, texts::removedTitle);
    EXPECT_EQ(QDir(home.filePath("data/nautilus/scripts")).entryList(QDir::Files),
              QStringList{"My Script"});
    EXPECT_EQ(readFile(userScript), userScriptBytes);
    EXPECT_FALSE(readFile(uca).contains("corvanta-rule-R1"));
    EXPECT_EQ(button->text(), texts::installFileManagerActions);
}

} // namespace
