#include "core/model/PathExtension.h"

#include <gtest/gtest.h>

namespace {
struct NameCase {
    const char* path;
    const char* extension;
    const char* baseName;
};

// Route lookup and rule facts both rely on these; hidden files and trailing dots
// must not produce an extension, or a dotfile would be routed by its name.
const NameCase nameCases[] = {
    {"/home/u/notes.md", "md", "notes"},
    {"/home/u/Notes.Final.MD", "md", "Notes.Final"},
    {"/home/u/README", "", "README"},
    {"/home/u/.profile", "", ".profile"},
    {"/home/u/.config.json", "json", ".config"},
    {"/home/u/notes.", "", "notes."},
    {"/home/u/dir.d/", "d", "dir"},
    {"relative/a.tar.gz", "gz", "a.tar"},
    {"/", "", ""},
};
} // namespace

TEST(PathExtension, splitsTheLastComponent) {
    for (const NameCase& c : nameCases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(pathExtension(path), QString::fromUtf8(c.extension)) << c.path;
        EXPECT_EQ(pathBaseName(path), QString::fromUtf8(c.baseName)) << c.path;
    }
}

TEST(PathExtension, readsFileURLsDecoded) {
    EXPECT_EQ(pathExtension(QUrl::fromLocalFile(QStringLiteral("/tmp/a b%20c.Md"))),
              QStringLiteral("md"));
    EXPECT_EQ(urlPath(QUrl(QStringLiteral("file:///tmp/a%20b.md"))), QStringLiteral("/tmp/a b.md"));
}
