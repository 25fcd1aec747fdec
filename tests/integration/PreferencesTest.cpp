#include "platform/linux/SettingsPreferences.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
QString scratchFile(const char* name) {
    const QString path = LinuxSandbox::current().root() + QStringLiteral("/prefs-") +
                         QLatin1String(name) + QStringLiteral(".conf");
    QFile::remove(path);
    return path;
}

TEST(SettingsPreferences, LivesInTheXdgConfigHome) {
    EXPECT_EQ(SettingsPreferences::defaultFilePath(),
              LinuxSandbox::current().configHome() + QStringLiteral("/Corvanta/Corvanta.conf"));
    SettingsPreferences preferences;
    preferences.setBoolean(QStringLiteral("hasCompletedMenuBarOnboarding"), true);
    EXPECT_TRUE(QFile::exists(SettingsPreferences::defaultFilePath()));
}

TEST(SettingsPreferences, StringsSurviveTheFileUnchanged) {
    const QString path = scratchFile("strings");
    const QString values[] = {
        QStringLiteral("list"),          QStringLiteral(""),
        QStringLiteral("a,b"),           QStringLiteral("@Variant(x)"),
        QStringLiteral("  spaced  "),    QStringLiteral("true"),
        QStringLiteral("Grün “quoted”"), QStringLiteral("semi;colon=equals"),
    };
    {
        SettingsPreferences writer(path);
        for (std::size_t i = 0; i < std::size(values); ++i)
            writer.setString(QStringLiteral("key%1").arg(i), values[i]);
    }
    const SettingsPreferences reader(path);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(reader.string(QStringLiteral("key%1").arg(i)), values[i])
            << qPrintable(values[i]);
    EXPECT_EQ(reader.string(QStringLiteral("absent")), std::nullopt);
}

TEST(SettingsPreferences, AbsentAndEmptyDifferAndRemovalClears) {
    SettingsPreferences preferences(scratchFile("absent"));
    const QString key = QStringLiteral("browserHandoffBundleID");
    EXPECT_EQ(preferences.string(key), std::nullopt);
    preferences.setString(key, QString());
    EXPECT_EQ(preferences.string(key), QString());
    preferences.setString(key, QStringLiteral("firefox"));
    preferences.setString(key, std::nullopt);
    EXPECT_EQ(preferences.string(key), std::nullopt);
    EXPECT_EQ(SettingsPreferences(preferences.filePath()).string(key), std::nullopt);
}

TEST(SettingsPreferences, BooleansReadBackFromTheFile) {
    const QString path = scratchFile("booleans");
    {
        SettingsPreferences writer(path);
        writer.setBoolean(QStringLiteral("yes"), true);
        writer.setBoolean(QStringLiteral("no"), false);
        writer.setString(QStringLiteral("word"), QStringLiteral("maybe"));
    }
    // Another process (or a newer run) sees what was written at once.
    const SettingsPreferences reader(path);
    EXPECT_EQ(reader.boolean(QStringLiteral("yes")), true);
    EXPECT_EQ(reader.boolean(QStringLiteral("no")), false);
    EXPECT_EQ(reader.boolean(QStringLiteral("word")), std::nullopt);
    EXPECT_EQ(reader.boolean(QStringLiteral("absent")), std::nullopt);
}

TEST(SettingsPreferences, ChangesByAnotherWriterAreSeen) {
    const QString path = scratchFile("shared");
    const SettingsPreferences reader(path);
    EXPECT_EQ(reader.string(QStringLiteral("editorPickerStyle")), std::nullopt);
    SettingsPreferences(path).setString(QStringLiteral("editorPickerStyle"),
                                        QStringLiteral("list"));
    EXPECT_EQ(reader.string(QStringLiteral("editorPickerStyle")), QStringLiteral("list"));
}
} // namespace
