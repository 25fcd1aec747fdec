#include "platform/linux/ShortcutTable.h"
#include "platform/linux/TerminalAlerts.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {
TEST(TerminalAlerts, TheUserAnswersOnATerminalAndOtherwiseTheAlertIsCancelled) {
    const QStringList add = {"Add Type", "Cancel"}, three = {"Remove", "Cancel", "Later"};
    const struct {
        QStringList buttons;
        int cancel;
        bool interactive;
        const char* typed;
        int expected;
    } cases[] = {
        {add, -1, false, "1\n", 1},        // no cancel button: the last one
        {add, 0, false, "1\n", 0},         // the cancel button
        {three, 7, false, "1\n", 2},       // out of range: the last one
        {{"OK"}, -1, false, "1\n", 0},     // one button: nothing to ask
        {three, 1, true, "  later \n", 2}, // a button's title, in any case
        {three, 1, true, "\n", 0},         // Enter takes the default button
        {three, 1, true, "9\nx\n3\n", 2},  // asks again after a wrong answer
        {three, 1, true, "9\nx\nq\n", 1},  // three wrong answers: the cancelling answer
        {three, 1, true, "", 1},           // end of input: the cancelling answer
    };
    for (const auto& c : cases) {
        const AlertRequest request{"Add file type?", "", c.buttons, AlertRequest::Style::warning,
                                   c.cancel};
        FILE *input = std::tmpfile(), *output = std::fopen("/dev/null", "w");
        std::fputs(c.typed, input);
        std::rewind(input);
        EXPECT_EQ(TerminalAlerts(input, output, c.interactive).runAlert(request), c.expected)
            << qPrintable(c.buttons.join('/')) << " cancel " << c.cancel << ": " << c.typed;
        std::fclose(output);
        std::fclose(input);
    }
}

QByteArray table(const QByteArray& shortcuts) {
    return "{\"version\":1,\"shortcuts\":" + shortcuts + "}";
}

TEST(ShortcutTable, ParsesOnlyWhatItCanUseAndReportsTheRest) {
    const struct {
        QByteArray data;
        QHash<QString, QString> expected;
        int errors;
    } cases[] = {
        {table("{\"rule-1\":\"ctrl+shift+f5\"}"), {{"rule-1", "Ctrl+Shift+F5"}}, 0},
        // Read as written: a no-break space is a key, spaces around are not ours.
        {table("{\"rule-1\":\"Meta+\u00a0\"}"), {{"rule-1", "Meta+\u00a0"}}, 0},
        {table("{\"rule-1\":\" Ctrl+Shift+F5\"}"), {}, 1},
        // Keys the recorder refuses would be taken from every program.
        {table("{\"rule-1\":\"Shift+Q\",\"rule-2\":\"Q\",\"rule-3\":\"F5\"}"),
         {{"rule-3", "F5"}},
         2},
        {"{\"version\":1}", {}, 0},
        {"", {}, 1},
        {"{\"shortcuts\":{}}", {}, 1},
        {"{\"version\":2,\"shortcuts\":{\"rule-1\":\"Ctrl+M\"}}", {}, 1},
        {"{\"version\":1,\"shortcuts\":[]}", {}, 1},
        {table("{\"rule-1\":42,\"rule-2\":\"Ctrl+2\"}"), {{"rule-2", "Ctrl+2"}}, 1},
        {table("{\"rule-1\":\"Ctrl+Nonsense\"}"), {}, 1},
        {table("{\"rule-1\":\"Ctrl+K, Ctrl+C\"}"), {}, 1},
        {table("{\"\":\"Ctrl+M\"}"), {}, 1},
        // Found by fuzzing: a NUL for a key reads as a key that has no text.
        {table(QByteArray("{\"rule-1\":\"Ctrl+Alt+\0\"}", 23)), {}, 1},
    };
    for (const auto& c : cases) {
        QStringList errors;
        EXPECT_EQ(ShortcutTable::parse(c.data, errors), c.expected) << c.data.constData();
        EXPECT_EQ(errors.size(), c.errors) << c.data.constData();
    }
}
} // namespace
