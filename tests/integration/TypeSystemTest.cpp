#include "platform/linux/GioTypeSystem.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
struct ExtensionCase {
    const char* extension;
    std::optional<QString> type;
};

TEST(GioTypeSystem, TypeForExtensionIsNoneWhenSharedMimeInfoOnlyGuesses) {
    const GioTypeSystem types;
    const ExtensionCase cases[] = {
        {"md", QStringLiteral("text/markdown")},
        {"MD", QStringLiteral("text/markdown")},
        {"txt", QStringLiteral("text/plain")},
        // Uncertain, yet a real type: kept.
        {"html", QStringLiteral("text/html")},
        {"zzqqx", std::nullopt},
        {"", std::nullopt},
        {"tar.gz", std::nullopt},
    };
    for (const ExtensionCase& c : cases) {
        const auto type = types.typeForFilenameExtension(QString::fromUtf8(c.extension));
        if (QLatin1String(c.extension) == QLatin1String("tar.gz")) {
            // Whatever shared-mime-info says, never the octet-stream guess.
            EXPECT_NE(type, QStringLiteral("application/octet-stream"));
            continue;
        }
        EXPECT_EQ(type, c.type) << c.extension;
    }
}

TEST(GioTypeSystem, RecognisesStoredIdentifiersAndMimeAliases) {
    const GioTypeSystem types;
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {"public.plain-text", QStringLiteral("text/plain")},
        {"public.utf8-plain-text", QStringLiteral("text/plain")},
        {"net.daringfireball.markdown", QStringLiteral("text/markdown")},
        {"public.markdown", QStringLiteral("text/markdown")},
        {"public.html", QStringLiteral("text/html")},
        {"public.data", QStringLiteral("application/octet-stream")},
        {"text/markdown", QStringLiteral("text/markdown")},
        // An alias in shared-mime-info comes back as the canonical type.
        {"text/x-markdown", QStringLiteral("text/markdown")},
        {"com.example.unknown", std::nullopt},
        {"foo/bar", std::nullopt},
        {"x-scheme-handler/http", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [identifier, expected] : cases)
        EXPECT_EQ(types.recognisedType(QString::fromUtf8(identifier)), expected) << identifier;
}

TEST(GioTypeSystem, ConformanceFollowsTheMimeHierarchyThroughAliases) {
    const GioTypeSystem types;
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"text/markdown", "text/plain", true},
        {"text/markdown", "public.plain-text", true},
        {"net.daringfireball.markdown", "public.data", true},
        {"text/x-markdown", "text/markdown", true},
        {"text/plain", "text/markdown", false},
        {"inode/directory", "public.data", false},
        {"text/html", "text/html", true},
        {"", "text/plain", false},
    };
    for (const auto& [type, parent, expected] : cases)
        EXPECT_EQ(types.conformsTo(QString::fromUtf8(type), QString::fromUtf8(parent)), expected)
            << type << " / " << parent;
}

TEST(GioTypeSystem, DescriptionIsEmptyForUnknownTypes) {
    const GioTypeSystem types;
    EXPECT_FALSE(types.typeDescription(QStringLiteral("text/markdown")).isEmpty());
    EXPECT_EQ(types.typeDescription(QStringLiteral("net.daringfireball.markdown")),
              types.typeDescription(QStringLiteral("text/markdown")));
    // GIO makes up "foo/bar type"; an unknown type has no description here.
    EXPECT_TRUE(types.typeDescription(QStringLiteral("foo/bar")).isEmpty());
}

TEST(GioTypeSystem, RecordedContentTypeReadsTheFile) {
    const GioTypeSystem types;
    const QString folder = LinuxSandbox::current().filesFolder();
    const QString markdown = folder + QStringLiteral("/Notes.MD");
    const QString nameless = folder + QStringLiteral("/document");
    for (const auto& [path, contents] : {std::pair{markdown, QByteArray("# Title\n")},
                                         std::pair{nameless, QByteArray("%PDF-1.4\n")}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    EXPECT_EQ(types.recordedContentType(markdown), QStringLiteral("text/markdown"));
    // Without an extension GIO looks at the contents.
    EXPECT_EQ(types.recordedContentType(nameless), QStringLiteral("application/pdf"));
    EXPECT_EQ(types.recordedContentType(folder + QStringLiteral("/missing.md")), std::nullopt);
    EXPECT_EQ(types.recordedContentType(QString()), std::nullopt);
}
} // namespace
