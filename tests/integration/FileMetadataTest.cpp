#include "platform/linux/XattrFileMetadata.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/xattr.h>

namespace {
bool keepsUserAttributes(const QString& folder) {
    const QString probe = folder + QStringLiteral("/probe");
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();
    return ::setxattr(QFile::encodeName(probe).constData(), "user.test", "1", 1, 0) == 0;
}

// A folder whose file system keeps user extended attributes: the test home,
// else a folder in /var/tmp (often on disk when /tmp is not).
std::optional<QString> folderWithUserAttributes() {
    const QString home = LinuxSandbox::current().filesFolder();
    if (keepsUserAttributes(home))
        return home;
    QByteArray pattern("/var/tmp/corvanta-xattr-XXXXXX");
    if (!::mkdtemp(pattern.data()))
        return std::nullopt;
    const QString folder = QFile::decodeName(pattern);
    if (keepsUserAttributes(folder))
        return folder;
    QDir(folder).removeRecursively();
    return std::nullopt;
}

struct Attributes {
    const char* name;
    std::optional<QByteArray> xdgCreator;
    std::optional<QByteArray> dublinCoreCreator;
    std::optional<QString> expected;
};

TEST(XattrFileMetadata, ReadsTheCreatorAttributesInOrder) {
    const auto folder = folderWithUserAttributes();
    if (!folder)
        GTEST_SKIP() << "neither the temporary folder nor /var/tmp keeps user extended attributes";
    const Attributes cases[] = {
        {"xdg", QByteArray("Typora"), std::nullopt, QStringLiteral("Typora")},
        {"dublin-core", std::nullopt, QByteArray("Ada Lovelace"), QStringLiteral("Ada Lovelace")},
        {"both", QByteArray("Typora"), QByteArray("Ada"), QStringLiteral("Typora")},
        {"utf8", QByteArray("Gr\xc3\xbcn"), std::nullopt, QStringLiteral("Grün")},
        {"trailing-nul", QByteArray("Kate\0", 5), std::nullopt, QStringLiteral("Kate")},
        // The first attribute present decides, even when it says nothing.
        {"empty-xdg", QByteArray(""), QByteArray("Ada"), std::nullopt},
        {"none", std::nullopt, std::nullopt, std::nullopt},
        {"long", QByteArray(1000, 'x'), std::nullopt, QString(1000, QLatin1Char('x'))},
    };
    const XattrFileMetadata metadata;
    for (const Attributes& c : cases) {
        const QString path =
            *folder + QLatin1Char('/') + QLatin1String(c.name) + QStringLiteral(".md");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        const QByteArray encoded = QFile::encodeName(path);
        if (c.xdgCreator) {
            ASSERT_EQ(::setxattr(encoded, "user.xdg.creator", c.xdgCreator->constData(),
                                 c.xdgCreator->size(), 0),
                      0);
        }
        if (c.dublinCoreCreator) {
            ASSERT_EQ(::setxattr(encoded, "user.dublincore.creator",
                                 c.dublinCoreCreator->constData(), c.dublinCoreCreator->size(), 0),
                      0);
        }
        EXPECT_EQ(metadata.creatorName(path), c.expected) << c.name;
    }
    EXPECT_EQ(metadata.creatorName(*folder + QStringLiteral("/missing.md")), std::nullopt);
    if (folder->startsWith(QLatin1String("/var/tmp/")))
        QDir(*folder).removeRecursively();
}
} // namespace
