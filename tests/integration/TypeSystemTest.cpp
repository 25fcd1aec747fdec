#include "core/model/FileTypeProbe.h"
#include "platform/linux/GioTypeSystem.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {
using Type = std::optional<QString>;

TEST(GioTypeSystem, ExtensionsAndIdentifiersMapToRealTypesThatConformThroughAliases) {
    const GioTypeSystem types;
    const std::pair<const char*, Type> extensions[] = {
        {"MD", "text/markdown"},
        {"html", "text/html"},   // shared-mime-info is unsure, yet it is a real type
        {"zzqqx", std::nullopt}, // a guess of octet-stream is no type
        {"", std::nullopt},
    };
    for (const auto& [extension, expected] : extensions)
        EXPECT_EQ(types.typeForFilenameExtension(extension), expected) << extension;
    const std::pair<const char*, Type> identifiers[] = {
        {"public.utf8-plain-text", "text/plain"},
        {"net.daringfireball.markdown", "text/markdown"},
        {"public.data", "application/octet-stream"},
        {"text/x-markdown", "text/markdown"}, // an alias comes back canonical
        {"com.example.unknown", std::nullopt},
        {"x-scheme-handler/http", std::nullopt},
    };
    for (const auto& [identifier, expected] : identifiers)
        EXPECT_EQ(types.recognisedType(identifier), expected) << identifier;
    // GIO makes up "foo/bar type"; an unknown type has no description here.
    EXPECT_TRUE(types.typeDescription("foo/bar").isEmpty());
    // Conformance follows the MIME hierarchy through aliases.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"text/markdown", "public.plain-text", true},
        {"net.daringfireball.markdown", "public.data", true},
        {"text/x-markdown", "text/markdown", true},
        {"text/plain", "text/markdown", false},
        {"inode/directory", "public.data", false},
    };
    for (const auto& [child, parent, expected] : cases)
        EXPECT_EQ(types.conformsTo(child, parent), expected) << child << " / " << parent;
}
// Text content must not make a name the system does not know into plain text:
// teaching such a sample would otherwise claim every plain text file.
TEST(GioTypeSystem, SampleTypeComesFromTheNameNeverFromTheContents) {
    const GioTypeSystem types;
    const FileTypeProbe probe(types);
    const QString folder = LinuxSandbox::current().filesFolder() + "/samples";
    QDir().mkpath(folder);
    const std::pair<const char*, Type> samples[] = {
        {"notes.adoc", std::nullopt}, {"app.conf", std::nullopt},
        {"x.zzz", std::nullopt},      {"a.md", "text/markdown"},
        {"Page.HTML", "text/html"},   {"b.tar.gz", "application/x-compressed-tar"},
    };
    for (const auto& [name, expected] : samples) {
        const QString path = folder + '/' + name;
        ASSERT_TRUE(writeFile(path, "plain words\n"));
        const auto sample = probe.probe(QUrl::fromLocalFile(path));
        ASSERT_TRUE(std::holds_alternative<SampleType>(sample)) << name;
        EXPECT_EQ(std::get<SampleType>(sample).typeIdentifier, expected) << name;
    }
    // A folder has no data type, even one named like a file.
    QDir().mkpath(folder + "/site.html");
    EXPECT_EQ(types.recordedContentType(folder + "/site.html/"), std::nullopt);
    EXPECT_EQ(std::get<FileTypeProbeError>(probe.probe(QUrl::fromLocalFile(folder + "/site.html"))),
              FileTypeProbeError::isFolder);
}

// A type package installed while Corvanta runs (an editor's package adding its
// format) is known without a restart, through the same type system object.
TEST(GioTypeSystem, TypeInstalledWhileRunningIsSeen) {
    const GioTypeSystem types;
    const QString type = "application/x-corvanta-sample";
    ASSERT_EQ(types.typeForFilenameExtension("cvsample"), std::nullopt);
    ASSERT_EQ(types.recognisedType(type), std::nullopt);

    const QString mime = LinuxSandbox::current().dataHome() + "/mime";
    ASSERT_TRUE(
        writeFile(mime + "/packages/corvanta-sample.xml",
                  "<?xml version=\"1.0\"?>\n"
                  "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                  "  <mime-type type=\"application/x-corvanta-sample\">\n"
                  "    <comment>Corvanta sample</comment>\n"
                  "    <sub-class-of type=\"text/plain\"/>\n"
                  "    <glob pattern=\"*.cvsample\"/>\n"
                  "  </mime-type>\n</mime-info>\n"));
    QProcess update;
    update.start("update-mime-database", {mime});
    ASSERT_TRUE(update.waitForFinished(30000) && update.exitCode() == 0);

    // GIO rereads the database at most every five seconds.
    QDeadlineTimer deadline(10000);
    while (!types.typeForFilenameExtension("cvsample") && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_EQ(types.typeForFilenameExtension("cvsample"), type);
    EXPECT_EQ(types.recognisedType(type), type);
    EXPECT_TRUE(types.conformsTo(type, "public.plain-text"));
    EXPECT_EQ(types.typeDescription(type), "Corvanta sample");
}
} // namespace
