#include "core/model/LocalFileURL.h"
#include "platform/linux/XattrFileMetadata.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {
// Creates the file `path` with the attribute `name` set to `value` when given.
bool fileWithAttribute(const QString& path, const char* name,
                       const std::optional<QByteArray>& value = QByteArray("1")) {
    QFile(path).open(QIODevice::WriteOnly);
    return !value || ::setxattr(QFile::encodeName(path).constData(), name, value->constData(),
                                static_cast<size_t>(value->size()), 0) == 0;
}

TEST(XattrFileMetadata, ReadsTheCreatorAttributesInOrder) {
    // The test home, else /var/tmp (often on disk when /tmp is not).
    QString folder = LinuxSandbox::current().filesFolder();
    QByteArray temporary("/var/tmp/corvanta-xattr-XXXXXX");
    if (!fileWithAttribute(folder + "/probe", "user.test") && ::mkdtemp(temporary.data()))
        folder = temporary;
    if (!fileWithAttribute(folder + "/probe", "user.test")) {
        QDir(temporary).removeRecursively();
        GTEST_SKIP() << "neither the test home nor /var/tmp keeps user extended attributes";
    }
    const struct {
        std::optional<QByteArray> xdgCreator, dublinCoreCreator;
        std::optional<QString> expected;
    } cases[] = {
        {"Gr\xc3\xbcn", std::nullopt, "Grün"},
        {std::nullopt, "Ada Lovelace", "Ada Lovelace"},
        {QByteArray("Kate\0", 5), std::nullopt, "Kate"},
        {"", "Ada", std::nullopt}, // the first attribute present decides, even when empty
        {QByteArray(1000, 'x'), std::nullopt, QString(1000, 'x')},
    };
    const XattrFileMetadata metadata;
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const QString path = folder + QStringLiteral("/%1.md").arg(i);
        ASSERT_TRUE(fileWithAttribute(path, "user.xdg.creator", cases[i].xdgCreator));
        ASSERT_TRUE(fileWithAttribute(path, "user.dublincore.creator", cases[i].dublinCoreCreator));
        EXPECT_EQ(metadata.creatorName(QUrl::fromLocalFile(path)), cases[i].expected) << i;
    }
    // A name that is not UTF-8 still reaches its attributes.
    const QByteArray latin1Name = QFile::encodeName(folder) + "/caf\xe9.md";
    ::close(::open(latin1Name.constData(), O_CREAT | O_WRONLY, 0644));
    ASSERT_EQ(::setxattr(latin1Name.constData(), "user.xdg.creator", "Kate", 4, 0), 0);
    EXPECT_EQ(metadata.creatorName(LocalFileURL::fromNativePath(latin1Name)), "Kate");
    for (const QUrl& none :
         {QUrl::fromLocalFile(folder + "/probe"), QUrl::fromLocalFile(folder + "/missing"),
          QUrl("https://example.org/0.md")})
        EXPECT_EQ(metadata.creatorName(none), std::nullopt) << qPrintable(none.toString());
    QDir(temporary).removeRecursively();
}
} // namespace
