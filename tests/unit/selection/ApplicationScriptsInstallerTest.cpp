#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/ScriptableFileManager.h"
#include "core/selection/SelectionHelperScript.h"
#include "tests/support/CoreAppTest.h"
#include "tests/support/StoreTestSupport.h"

#include <map>

namespace {

// Collects the warnings logged while it lives.
struct LogCapture {
    LogCapture() {
        lines.clear();
        previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& text) { lines << text; });
    }
    ~LogCapture() { qInstallMessageHandler(previous); }
    static inline QStringList lines;
    QtMessageHandler previous = nullptr;
};

QString helperPath(const QString& folder, int index) {
    return QDir(folder).filePath(ScriptableFileManager::builtins().at(index).scriptFileName);
}

std::map<QString, FileStamp> stamps(const QString& folder) {
    std::map<QString, FileStamp> result;
    for (const ScriptableFileManager& manager : ScriptableFileManager::builtins())
        result[manager.scriptFileName] = stampOf(QDir(folder).filePath(manager.scriptFileName));
    return result;
}

class ApplicationScriptsInstallerTest : public CoreAppTest {};

} // namespace

// Each way a helper can stop being Corvanta's own: only that file is rewritten,
// and the current ones are left untouched.
TEST(ApplicationScriptsInstaller, OnlyTheChangedHelperIsRewritten) {
    const int damaged = int(ScriptableFileManager::builtins().size()) - 1;
    const QString name = ScriptableFileManager::builtins().at(damaged).scriptFileName;
    const QByteArray contents =
        SelectionHelperScript::contents(ScriptableFileManager::builtins().at(damaged));
    const struct {
        const char* name;
        std::optional<QByteArray> bytes; // written over it; none: deleted
        bool executable = true;
    } cases[] = {
        {"edited by the user", QByteArray(contents).replace("set -u", "set -eu")},
        {"one byte added", contents + '\n'},
        {"truncated", contents.chopped(1)},
        {"deleted", std::nullopt},
        {"no longer executable", std::nullopt, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        QTemporaryDir home;
        ASSERT_TRUE(ApplicationScriptsInstaller::install(home.path()));
        for (const ScriptableFileManager& manager : ScriptableFileManager::builtins())
            ageFile(QDir(home.path()).filePath(manager.scriptFileName));
        const QString path = helperPath(home.path(), damaged);
        if (!test.executable)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        else if (test.bytes)
            writeFile(path, *test.bytes);
        else
            QFile::remove(path);
        auto before = stamps(home.path());
        EXPECT_FALSE(ApplicationScriptsInstaller::areScriptsCurrent(home.path()));

        ASSERT_TRUE(ApplicationScriptsInstaller::install(home.path()));
        EXPECT_TRUE(ApplicationScriptsInstaller::areScriptsCurrent(home.path()));
        auto after = stamps(home.path());
        EXPECT_EQ(after[name].bytes, contents);
        before.erase(name);
        after.erase(name);
        EXPECT_EQ(after, before);
    }
}

// A folder where a helper belongs, or a file where the folder belongs: the
// install stops at the first failure and says so.
TEST(ApplicationScriptsInstaller, FailedWriteStopsAndLogs) {
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(helperPath(home.path(), 1)));
    const QString blocker = home.filePath(QStringLiteral("file"));
    writeFile(blocker, "x");
    for (const QString& folder : {home.path(), blocker + QStringLiteral("/Scripts")}) {
        SCOPED_TRACE(folder.toStdString());
        LogCapture log;
        EXPECT_FALSE(ApplicationScriptsInstaller::install(folder));
        ASSERT_EQ(log.lines.size(), 1);
        EXPECT_TRUE(log.lines.first().startsWith(
            QStringLiteral("Corvanta: Application Scripts install failed: ")))
            << log.lines.first().toStdString();
    }
    EXPECT_TRUE(QFile::exists(helperPath(home.path(), 0)));
    EXPECT_FALSE(QFile::exists(helperPath(home.path(), 2)));
}

TEST(ApplicationScriptsInstaller, DefaultDirectoryFollowsDataHome) {
    const QString local = "/home/ann/.local/share/Corvanta/Application Scripts";
    const struct {
        QByteArray dataHome, home;
        std::optional<QString> expected;
    } cases[] = {
        {"/data/", "/home/ann", "/data/Corvanta/Application Scripts"},
        {"", "/home/ann", local},
        {"relative", "/home/ann", local},
        {"", "", std::nullopt},
    };
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    for (const auto& test : cases) {
        SCOPED_TRACE(test.dataHome.toStdString() + " " + test.home.toStdString());
        qputenv("XDG_DATA_HOME", test.dataHome);
        qputenv("HOME", test.home);
        EXPECT_EQ(ApplicationScriptsInstaller::defaultDirectory(), test.expected);
    }
    qputenv("XDG_DATA_HOME", savedData);
    qputenv("HOME", savedHome);
}

TEST(ApplicationScriptsInstaller, InstallFolderForWhatThePickerReturned) {
    const QString d = QStringLiteral("/home/ann/.local/share/Corvanta/Application Scripts");
    const QList<std::pair<QString, QString>> cases{
        {d, d},
        {d + QStringLiteral("/"), d},
        {d + QStringLiteral("/sub/deeper/"), d},
        {d + QStringLiteral("/sub/.."), d},
        {QStringLiteral("/home/ann/Scripts"), QStringLiteral("/home/ann/Scripts")},
        // Shares the folder's name as a prefix but is another folder.
        {d + QStringLiteral(" old"), d + QStringLiteral(" old")},
        {QStringLiteral("/home/ann/.local/share/Corvanta"),
         QStringLiteral("/home/ann/.local/share/Corvanta")},
    };
    for (const auto& [picked, expected] : cases)
        EXPECT_EQ(ApplicationScriptsInstaller::installFolder(picked, d), expected)
            << picked.toStdString();
}

// A chosen folder is installed into as the settings window's tests show; here
// the request itself.
TEST_F(ApplicationScriptsInstallerTest, UserMediatedInstallAsksOnceAndHearsOneAnswer) {
    QTemporaryDir home;
    const QString directory = home.filePath(QStringLiteral("Application Scripts"));
    const QString elsewhere = home.filePath(QStringLiteral("elsewhere"));
    QList<ApplicationScriptsInstaller::FolderRequest> requests;
    QList<bool> results;
    ApplicationScriptsInstaller::requestUserMediatedInstall(
        directory,
        [&](const ApplicationScriptsInstaller::FolderRequest& request, auto done) {
            requests.append(request);
            // The dialog may only be shown over a folder that exists.
            EXPECT_TRUE(QDir(request.initialDirectory).exists());
            // Cancelled, then a dialog that answers twice: not heard.
            done(std::nullopt);
            done(elsewhere);
        },
        [&](bool result) { results.append(result); });
    EXPECT_TRUE(results.isEmpty()) << "the completion runs from the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(results, QList<bool>{false});
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().buttonTitle, QStringLiteral("Select Folder"));
    EXPECT_EQ(requests.first().initialDirectory, directory);
    EXPECT_EQ(requests.first().message,
              QStringLiteral("Corvanta needs to install helper scripts for rule hotkeys. "
                             "Click \u201cSelect Folder\u201d to allow access to Application "
                             "Scripts (leave the folder selection as shown)."));
    EXPECT_FALSE(ApplicationScriptsInstaller::areScriptsCurrent(directory));
    EXPECT_FALSE(QDir(elsewhere).exists()) << "installed on the second answer";
}

TEST(ApplicationScriptsInstaller, NoDirectoryAnswersAtOnceAndLogs) {
    LogCapture log;
    int chooserCalls = 0;
    QList<bool> results;
    ApplicationScriptsInstaller::requestUserMediatedInstall(
        std::nullopt, [&](const auto&, auto) { ++chooserCalls; },
        [&](bool result) { results.append(result); });
    EXPECT_EQ(results, QList<bool>{false});
    EXPECT_EQ(chooserCalls, 0);
    EXPECT_FALSE(ApplicationScriptsInstaller::areScriptsCurrent(std::nullopt));
    EXPECT_EQ(log.lines,
              QStringList{QStringLiteral("Corvanta: Application Scripts directory unavailable")});
}
