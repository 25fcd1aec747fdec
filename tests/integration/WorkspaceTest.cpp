#include "core/model/EditorDiscovery.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/GioTypeSystem.h"
#include "platform/linux/GioWorkspace.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {
QString entryPath(const char* relative) {
    return LinuxSandbox::current().applicationsFolder() + QLatin1Char('/') +
           QLatin1String(relative);
}

// Waits until the recorder has written `count` records.
QList<QList<QByteArray>> waitForRecords(qsizetype count) {
    QDeadlineTimer deadline(10000);
    QList<QList<QByteArray>> records;
    while (!deadline.hasExpired()) {
        records = LinuxSandbox::current().records();
        if (records.size() >= count)
            break;
        QThread::msleep(10);
    }
    return records;
}

TEST(GioWorkspace, RolesFollowWhetherAnEntryNamesTheTypeOrAParent) {
    const GioWorkspace workspace;
    const QStringList editors = workspace.editorRoleHandlers(QStringLiteral("text/markdown"));
    const QStringList viewers = workspace.viewerRoleHandlers(QStringLiteral("text/markdown"));
    EXPECT_TRUE(editors.contains(QStringLiteral("test.MarkdownEditor")));
    // An entry in applications/kde/ has the ID kde-notes.
    EXPECT_TRUE(editors.contains(QStringLiteral("kde-notes")));
    EXPECT_FALSE(editors.contains(QStringLiteral("test.TextViewer")));
    EXPECT_TRUE(viewers.contains(QStringLiteral("test.TextViewer")));
    EXPECT_FALSE(viewers.contains(QStringLiteral("test.MarkdownEditor")));
    for (const QStringList& list : {editors, viewers}) {
        EXPECT_FALSE(list.contains(QStringLiteral("test.Hidden")));
        EXPECT_FALSE(list.contains(QStringLiteral("test.NotInstalled")));
        for (const QString& id : list)
            EXPECT_FALSE(id.endsWith(QLatin1String(".desktop"))) << qPrintable(id);
    }
}

TEST(GioWorkspace, LocationsAndIdentifiersMapBothWays) {
    const GioWorkspace workspace;
    const QStringList locations = workspace.applicationsForType(QStringLiteral("text/markdown"));
    EXPECT_TRUE(locations.contains(entryPath("test.MarkdownEditor.desktop")));
    EXPECT_TRUE(locations.contains(entryPath("kde/notes.desktop")));
    EXPECT_TRUE(locations.contains(entryPath("test.TextViewer.desktop")));

    const std::pair<const char*, const char*> cases[] = {
        {"test.MarkdownEditor", "test.MarkdownEditor.desktop"},
        {"kde-notes", "kde/notes.desktop"},
        {"io.corvanta.Corvanta", "io.corvanta.Corvanta.desktop"},
    };
    for (const auto& [id, relative] : cases) {
        EXPECT_EQ(workspace.locationForBundleID(QString::fromUtf8(id)), entryPath(relative)) << id;
        EXPECT_EQ(workspace.bundleIDForLocation(entryPath(relative)), QString::fromUtf8(id)) << id;
    }
    for (const char* missing : {"test.Hidden", "test.NotInstalled", "no.such.App", ""})
        EXPECT_EQ(workspace.locationForBundleID(QString::fromUtf8(missing)), std::nullopt)
            << missing;
    EXPECT_EQ(workspace.bundleIDForLocation(QStringLiteral("/nonexistent/x.desktop")),
              std::nullopt);
}

TEST(GioWorkspace, NamesAreLocalisedAndIconsAreThemeNames) {
    const GioWorkspace workspace;
    // The sandbox runs with LANGUAGE=de.
    EXPECT_EQ(workspace.applicationName(entryPath("test.MarkdownEditor.desktop")),
              QStringLiteral("Markdown-Bearbeiter"));
    EXPECT_EQ(workspace.applicationName(entryPath("kde/notes.desktop")),
              QStringLiteral("KDE Notes"));
    EXPECT_EQ(workspace.applicationIconName(entryPath("test.MarkdownEditor.desktop")),
              QStringLiteral("accessories-text-editor"));
    EXPECT_EQ(workspace.applicationIconName(entryPath("kde/notes.desktop")), QString());
    EXPECT_EQ(workspace.applicationName(QStringLiteral("/nonexistent.desktop")), QString());
}

TEST(GioWorkspace, OwnEntryIsFoundAndDiscoveryLeavesItOut) {
    const GioWorkspace workspace;
    const GioTypeSystem types;
    EXPECT_EQ(workspace.ownBundleID(), QStringLiteral("io.corvanta.Corvanta"));
    // Registered for Markdown, yet never one of the route's editors.
    EXPECT_TRUE(workspace.editorRoleHandlers(QStringLiteral("text/markdown"))
                    .contains(QStringLiteral("io.corvanta.Corvanta")));

    Route route;
    route.id = QStringLiteral("markdown");
    route.name = QStringLiteral("Markdown");
    route.extensions = {QStringLiteral("md")};
    route.probeIdentifiers = {QStringLiteral("net.daringfireball.markdown")};
    const Route found = EditorDiscovery(types, workspace).rediscoverEditors(route);
    QHash<QString, Editor> byID;
    for (const Editor& editor : found.editors)
        byID.insert(editor.bundleID, editor);
    EXPECT_FALSE(byID.contains(QStringLiteral("io.corvanta.Corvanta")));
    ASSERT_TRUE(byID.contains(QStringLiteral("test.MarkdownEditor")));
    ASSERT_TRUE(byID.contains(QStringLiteral("test.TextViewer")));
    EXPECT_TRUE(byID.value(QStringLiteral("test.MarkdownEditor")).enabled);
    EXPECT_EQ(byID.value(QStringLiteral("test.MarkdownEditor")).name,
              QStringLiteral("Markdown-Bearbeiter"));
    // Names only a parent type: listed as a viewer, disabled.
    EXPECT_FALSE(byID.value(QStringLiteral("test.TextViewer")).enabled);
}

TEST(GioWorkspace, BrowsersAndSchemeDefaultsComeFromSchemeHandlers) {
    const GioWorkspace workspace;
    for (const char* url : {"http://example.invalid", "https://example.invalid"})
        EXPECT_TRUE(workspace.applicationsForURL(QUrl(QString::fromUtf8(url)))
                        .contains(entryPath("test.Browser.desktop")))
            << url;
    EXPECT_EQ(workspace.defaultApplicationForScheme(QStringLiteral("https")),
              QStringLiteral("test.Browser"));
    EXPECT_EQ(workspace.defaultApplicationForScheme(QStringLiteral("no-such-scheme")),
              std::nullopt);
    EXPECT_TRUE(workspace.applicationsForURL(QUrl()).isEmpty());
}

TEST(GioWorkspace, ClaimWritesMimeappsListAndGioReportsTheNewDefault) {
    GioWorkspace workspace;
    std::optional<std::optional<QString>> outcome;
    workspace.setDefaultApplication(entryPath("io.corvanta.Corvanta.desktop"),
                                    QStringLiteral("text/markdown"),
                                    [&](const std::optional<QString>& error) { outcome = error; });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, std::nullopt);

    QFile list(LinuxSandbox::current().configHome() + QStringLiteral("/mimeapps.list"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray contents = list.readAll();
    EXPECT_TRUE(contents.contains("[Default Applications]"));
    EXPECT_TRUE(contents.contains("text/markdown=io.corvanta.Corvanta.desktop")) << contents.data();

    GObjectPtr<GAppInfo> current(g_app_info_get_default_for_type("text/markdown", FALSE));
    ASSERT_TRUE(current);
    EXPECT_STREQ(g_app_info_get_id(current.get()), "io.corvanta.Corvanta.desktop");

    // A location that is no application reports the failure, not success.
    outcome.reset();
    workspace.setDefaultApplication(QStringLiteral("/nonexistent/app.desktop"),
                                    QStringLiteral("text/plain"),
                                    [&](const std::optional<QString>& error) { outcome = error; });
    ASSERT_TRUE(outcome.has_value());
    ASSERT_TRUE(outcome->has_value());
    EXPECT_FALSE((*outcome)->isEmpty());
}

TEST(GioWorkspace, LaunchPassesEveryFileNameByteForByteAsOneArgument) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    QFile::remove(sandbox.recordFile());
    const QByteArray folder = QFile::encodeName(sandbox.filesFolder());
    const QList<QByteArray> names = {
        QByteArray("caf\xe9 \xff notes.md"), // Latin-1 and a byte that is never UTF-8
        QByteArray("with space & 100% 'quotes'.md"),
        QByteArray("gr\xc3\xbc\xc3\x9f"
                   "e.md"), // UTF-8
    };
    QList<QUrl> urls;
    QList<QByteArray> paths;
    for (const QByteArray& name : names) {
        const QByteArray path = folder + '/' + name;
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0) << path.constData();
        ::close(fd);
        paths.append(path);
        urls.append(QUrl::fromEncoded("file://" + path.toPercentEncoding("/")));
    }
    GioWorkspace workspace;
    std::optional<std::optional<QString>> outcome;
    workspace.openURLs(urls, entryPath("test.MarkdownEditor.desktop"),
                       [&](const std::optional<QString>& error) { outcome = error; });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, std::nullopt);

    const auto records = waitForRecords(1);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first(), paths) << records.first().join("|").toHex(' ').constData() << "\n"
                                      << paths.join("|").toHex(' ').constData();
}

TEST(GioWorkspace, LaunchFailureCarriesGiosMessage) {
    GioWorkspace workspace;
    std::optional<std::optional<QString>> outcome;
    workspace.openURLs({QUrl::fromLocalFile(QStringLiteral("/tmp/x.md"))},
                       QStringLiteral("/nonexistent/editor.desktop"),
                       [&](const std::optional<QString>& error) { outcome = error; });
    ASSERT_TRUE(outcome.has_value());
    ASSERT_TRUE(outcome->has_value());
    EXPECT_FALSE((*outcome)->isEmpty());
}

TEST(GioWorkspace, LaunchUriKeepsRawPathBytes) {
    const std::pair<QUrl, QByteArray> cases[] = {
        {QUrl::fromLocalFile(QStringLiteral("/tmp/a b.md")), "file:///tmp/a%20b.md"},
        {QUrl::fromEncoded("file:///tmp/%FF.md"), "file:///tmp/%FF.md"},
        {QUrl::fromLocalFile(QStringLiteral("/tmp/#1.md")), "file:///tmp/%231.md"},
        {QUrl(QStringLiteral("https://example.invalid/a?b=c")), "https://example.invalid/a?b=c"},
    };
    for (const auto& [url, uri] : cases)
        EXPECT_EQ(GioWorkspace::launchURI(url), uri) << uri.constData();
}
} // namespace
