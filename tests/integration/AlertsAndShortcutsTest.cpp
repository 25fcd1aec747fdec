#include "platform/linux/ShortcutTable.h"
#include "platform/linux/TerminalAlerts.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
// Runs one alert with `typed` as the terminal input; returns the answer and
// what was printed.
std::pair<int, QByteArray> runAlert(const AlertRequest& request, const QByteArray& typed,
                                    bool interactive) {
    FILE* input = std::tmpfile();
    FILE* output = std::tmpfile();
    std::fwrite(typed.constData(), 1, typed.size(), input);
    std::rewind(input);
    TerminalAlerts alerts(input, output, interactive);
    const int answer = alerts.runAlert(request);
    std::rewind(output);
    QByteArray printed;
    char buffer[512];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, output)) > 0)
        printed.append(buffer, static_cast<qsizetype>(read));
    std::fclose(input);
    std::fclose(output);
    return {answer, printed};
}

AlertRequest addTypeAlert(int cancelButton = -1) {
    AlertRequest request;
    request.messageText = QStringLiteral("Add file type?");
    request.informativeText = QStringLiteral("Teach corvanta to route Org files (.org)?");
    request.buttons = {QStringLiteral("Add Type"), QStringLiteral("Cancel")};
    request.cancelButton = cancelButton;
    return request;
}

TEST(TerminalAlerts, PrintsTheMessageAndInformativeText) {
    const auto [answer, printed] = runAlert(addTypeAlert(), "", false);
    EXPECT_TRUE(printed.contains("Add file type?\n"));
    EXPECT_TRUE(printed.contains("Teach corvanta to route Org files (.org)?\n"));
    EXPECT_EQ(answer, 1);
}

TEST(TerminalAlerts, WithoutATerminalTakesTheCancellingAnswer) {
    AlertRequest three = addTypeAlert();
    three.buttons = {QStringLiteral("Remove"), QStringLiteral("Cancel"), QStringLiteral("Later")};
    AlertRequest single = addTypeAlert();
    single.buttons = {QStringLiteral("OK")};
    AlertRequest none = addTypeAlert();
    none.buttons.clear();
    const std::pair<AlertRequest, int> cases[] = {
        {addTypeAlert(), 1},
        {addTypeAlert(0), 0},
        {three, 2},
        {[&] {
             AlertRequest r = three;
             r.cancelButton = 1;
             return r;
         }(),
         1},
        {[&] {
             AlertRequest r = three;
             r.cancelButton = 7;
             return r;
         }(),
         2},
        {single, 0},
        {none, 0},
    };
    for (const auto& [request, expected] : cases)
        EXPECT_EQ(runAlert(request, "1\n", false).first, expected)
            << qPrintable(request.buttons.join(QLatin1Char('/')));
}

TEST(TerminalAlerts, OnATerminalTheUserAnswers) {
    const std::pair<QByteArray, int> cases[] = {
        {"2\n", 1},       {"1\n", 0}, {"cancel\n", 1}, {"  Add Type \n", 0},
        {"\n", 0},        // Enter takes the default button
        {"9\nx\n2\n", 1}, // asks again after a wrong answer
        {"9\nx\nq\n", 1}, // gives up after three wrong answers: cancelling answer
        {"", 1},          // end of input: cancelling answer
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(runAlert(addTypeAlert(), typed, true).first, expected) << typed.constData();
    const auto printed = runAlert(addTypeAlert(), "1\n", true).second;
    EXPECT_TRUE(printed.contains("1) Add Type")) << printed.constData();
    EXPECT_TRUE(printed.contains("2) Cancel"));
}

TEST(TerminalAlerts, BeepsOnlyOnATerminal) {
    FILE* output = std::tmpfile();
    TerminalAlerts(stdin, output, false).beep();
    EXPECT_EQ(std::ftell(output), 0);
    std::fclose(output);
}

QByteArray table(const QByteArray& shortcuts) {
    return "{\"version\":1,\"shortcuts\":" + shortcuts + "}";
}

TEST(ShortcutTable, ParsesOnlyWhatItCanUseAndReportsTheRest) {
    struct Case {
        QByteArray data;
        QHash<QString, QString> expected;
        int errors;
    };
    const QString rule = QStringLiteral("rule-1");
    const Case cases[] = {
        {table("{\"rule-1\":\"Ctrl+Alt+M\"}"), {{rule, QStringLiteral("Ctrl+Alt+M")}}, 0},
        {table("{\"rule-1\":\" ctrl+shift+f5 \"}"), {{rule, QStringLiteral("Ctrl+Shift+F5")}}, 0},
        {table("{}"), {}, 0},
        {"{\"version\":1}", {}, 0},
        {"", {}, 1},
        {"not json", {}, 1},
        {"[1,2]", {}, 1},
        {"{\"shortcuts\":{}}", {}, 1},
        {"{\"version\":2,\"shortcuts\":{\"rule-1\":\"Ctrl+M\"}}", {}, 1},
        {"{\"version\":\"1\",\"shortcuts\":{}}", {}, 1},
        {"{\"version\":1,\"shortcuts\":[]}", {}, 1},
        {table("{\"rule-1\":42,\"rule-2\":\"Ctrl+2\"}"),
         {{QStringLiteral("rule-2"), QStringLiteral("Ctrl+2")}},
         1},
        {table("{\"rule-1\":\"Ctrl+Nonsense\"}"), {}, 1},
        {table("{\"rule-1\":\"Ctrl+K, Ctrl+C\"}"), {}, 1},
        {table("{\"rule-1\":\"\"}"), {}, 1},
        {table("{\"\":\"Ctrl+M\"}"), {}, 1},
    };
    for (const Case& c : cases) {
        QStringList errors;
        EXPECT_EQ(ShortcutTable::parse(c.data, errors), c.expected) << c.data.constData();
        EXPECT_EQ(errors.size(), c.errors)
            << c.data.constData() << ": " << qPrintable(errors.join(QLatin1String("; ")));
    }
}

TEST(ShortcutTable, ReadsTheUsersFileAndNoticesChanges) {
    const QString path = ShortcutTable::defaultFilePath();
    EXPECT_EQ(path,
              LinuxSandbox::current().configHome() + QStringLiteral("/Corvanta/shortcuts.json"));
    const ShortcutTable shortcuts;
    EXPECT_EQ(shortcuts.shortcutDisplayText(QStringLiteral("rule-A")), std::nullopt);
    EXPECT_TRUE(shortcuts.errors().isEmpty());

    QDir().mkpath(QFileInfo(path).absolutePath());
    auto write = [&](const QByteArray& data) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(data);
    };
    write(table("{\"rule-A\":\"Ctrl+Alt+M\",\"rule-B\":\"Meta+F1\"}"));
    EXPECT_EQ(shortcuts.shortcutDisplayText(QStringLiteral("rule-A")),
              QStringLiteral("Ctrl+Alt+M"));
    EXPECT_EQ(shortcuts.shortcut(QStringLiteral("rule-B")), QStringLiteral("Meta+F1"));
    EXPECT_EQ(shortcuts.shortcutDisplayText(QStringLiteral("rule-C")), std::nullopt);

    write("{broken");
    EXPECT_EQ(shortcuts.shortcutDisplayText(QStringLiteral("rule-A")), std::nullopt);
    EXPECT_EQ(shortcuts.errors().size(), 1);
    QFile::remove(path);
    EXPECT_TRUE(shortcuts.errors().isEmpty());
}
} // namespace
