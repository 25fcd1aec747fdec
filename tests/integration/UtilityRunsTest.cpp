#include "core/model/LocalFileURL.h"
#include "core/utilities/ExternalUtilityRunner.h"
#include "core/utilities/FileManagerActions.h"
#include "platform/linux/SpawnProcessRunner.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Names a file manager may hand over; each must arrive as one argument, unchanged.
const QList<QByteArray> hostileNames = {
    "two words.txt",     "it's \"quoted\".txt", "$(touch pwned).txt",
    "-leading-dash.txt", "`id`;|&.txt",         "\xff\xfe not utf-8.txt",
};

class UtilityRunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        QFile::remove(sandbox.recordFile());
        const QByteArray folder = QFile::encodeName(sandbox.filesFolder()) + "/hostile";
        QDir().mkpath(QFile::decodeName(folder));
        for (const QByteArray& name : hostileNames) {
            const QByteArray path = folder + '/' + name;
            // QFile cannot name the non-UTF-8 file; the C library can.
            if (FILE* raw = std::fopen(path.constData(), "wb"))
                std::fclose(raw);
            paths.append(path);
            files.append(LocalFileURL::fromNativePath(path));
        }
        recorder = sandbox.programPath("recorder-editor");
    }
    void TearDown() override {
        for (const QString& created : createdFiles)
            QFile::remove(created);
    }
    void write(const QString& path, const QByteArray& data) {
        ASSERT_TRUE(SandboxHelpers::writeFile(path, data));
        createdFiles.append(path);
    }
    void copyRecorder(const QString& to) {
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::remove(to);
        ASSERT_TRUE(QFile::copy(recorder, to));
        createdFiles.append(to);
    }
    SpawnProcessRunner processes;
    QList<QByteArray> paths;
    QList<QUrl> files;
    QString recorder;
    QStringList createdFiles;
};

TEST_F(UtilityRunsTest, AScriptAndEveryKindOfActionGetTheFilesByteForByte) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const QString data = sandbox.dataHome();
    const QByteArray program = QFile::encodeName(recorder);
    copyRecorder(data + "/Corvanta/Scripts/Tools/Record Me");
    write(data + "/kio/servicemenus/record.desktop",
          "[Desktop Entry]\nType=Service\nMimeType=all/allfiles;\nActions=rec;other;\n"
          "[Desktop Action rec]\nName=Record\nExec=" +
              program +
              " --kde %F\n"
              "[Desktop Action other]\nName=Other\nExec=" +
              program + " --other %U\n");
    write(data + "/nemo/actions/record.nemo_action",
          "[Nemo Action]\nName=Record\nExec=" + program + " --nemo %F\nExtensions=any;\n");
    write(sandbox.configHome() + "/Thunar/uca.xml",
          "<actions><action><name>Record</name><unique-id>r-1</unique-id><command>" + program +
              " --thunar %F</command><other-files/><text-files/></action></actions>");
    copyRecorder(data + "/nautilus/scripts/Record");

    ExternalUtilityRunner runner(processes, ExternalUtilityRunner::Folders::fromEnvironment());
    const auto services =
        FileManagerActions::listServices(FileManagerActionFolders::fromEnvironment());
    ASSERT_EQ(services.errorMessage, std::nullopt);
    QStringList ids;
    for (const CatalogEntry& entry : services.entries)
        ids << entry.id;
    const QList<QString> serviceIDs = {
        "rec|" + data + "/kio/servicemenus/record.desktop",
        data + "/nemo/actions/record.nemo_action",
        sandbox.configHome() + "/Thunar/uca.xml",
        data + "/nautilus/scripts/Record",
    };
    for (const QString& id : serviceIDs)
        EXPECT_TRUE(ids.contains(id)) << qPrintable(id);

    EXPECT_EQ(runner.runScript("Tools/Record Me", "Record Me", files, false), std::nullopt);
    for (const QString& id : serviceIDs)
        EXPECT_EQ(runner.runService(id, "Record", files), std::nullopt) << qPrintable(id);

    const QList<QList<QByteArray>> records = SandboxHelpers::records(5);
    ASSERT_EQ(records.size(), 5);
    QList<QList<QByteArray>> expected = {paths, QList<QByteArray>{"--kde"} + paths,
                                         QList<QByteArray>{"--nemo"} + paths,
                                         QList<QByteArray>{"--thunar"} + paths, paths};
    // The programs run side by side: compare without their order.
    QList<QList<QByteArray>> sorted = records;
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);
    EXPECT_FALSE(QFile::exists(sandbox.filesFolder() + "/hostile/pwned"));
    EXPECT_FALSE(QFile::exists("pwned"));
}

TEST_F(UtilityRunsTest, ScriptsThatAreGoneOrCannotRunSaySo) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const QString folder = sandbox.dataHome() + "/Corvanta/Scripts";
    copyRecorder(folder + "/Deleted");
    QFile::remove(folder + "/Deleted");
    write(folder + "/not-executable.sh", "#!/bin/sh\n");
    ExternalUtilityRunner runner(processes, ExternalUtilityRunner::Folders::fromEnvironment());
    EXPECT_EQ(runner.runScript("Deleted", "Deleted", files, false),
              "Script \u201CDeleted\u201D was not found.");
    const auto failure = runner.runScript("not-executable.sh", "Plain", files, false);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith("Could not run script \u201CPlain\u201D: "))
        << qPrintable(*failure);
    // Without the macOS tools, AppleScript and workflows fail naming the tool.
    write(folder + "/Mail.scpt", "x");
    const auto missing = runner.runScript("Mail.scpt", "Mail", files, false);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->contains("/usr/bin/osascript")) << qPrintable(*missing);
    EXPECT_TRUE(LinuxSandbox::current().records().isEmpty());
}

} // namespace
