// The table of global shortcuts (~/.config/Corvanta/shortcuts.json), parsed
// from memory and read from a file as the registry reads it.
//
// Properties: every entry of a well-formed table is either kept or reported,
// never both and never silently dropped; every kept shortcut is one key
// combination that reads back as itself; the registry serves exactly what the
// parser kept and reports the same problems.
#include "platform/linux/ShortcutTable.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeySequence>
#include <QTemporaryDir>
#include <cstdlib>

namespace {
void check(bool condition) {
    if (!condition)
        std::abort();
}

QTemporaryDir* folder = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The registry warns about every problem it finds; here that is only noise.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QGuiApplication(*argc, *argv);
    folder = new QTemporaryDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList errors;
    const QHash<QString, QString> table = ShortcutTable::parse(input, errors);

    for (auto it = table.begin(); it != table.end(); ++it) {
        check(!it.key().isEmpty());
        const QKeySequence sequence = QKeySequence::fromString(*it, QKeySequence::PortableText);
        check(sequence.count() == 1 && sequence[0].key() != Qt::Key_unknown);
        check(sequence.toString(QKeySequence::PortableText) == *it);
    }

    const QJsonDocument document = QJsonDocument::fromJson(input);
    const QJsonObject root = document.object();
    if (document.isObject() && root.value(QLatin1String("version")).toDouble(-1) == 1 &&
        root.value(QLatin1String("shortcuts")).isObject()) {
        const QJsonObject entries = root.value(QLatin1String("shortcuts")).toObject();
        check(table.size() + errors.size() == entries.size());
        for (auto it = table.begin(); it != table.end(); ++it)
            check(entries.contains(it.key()));
    } else if (!document.isObject() || root.value(QLatin1String("version")).toDouble(-1) != 1) {
        check(table.isEmpty() && errors.size() == 1);
    }

    // Through a file, as the registry reads it.
    const QString path = folder->filePath(QStringLiteral("shortcuts.json"));
    QFile::remove(path);
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly));
        check(file.write(input) == input.size());
    }
    const ShortcutTable registry(path);
    const QStringList fileErrors = registry.errors();
    check(fileErrors.size() == errors.size());
    for (qsizetype i = 0; i < errors.size(); ++i)
        check(fileErrors[i] == path + QStringLiteral(": ") + errors[i]);
    for (auto it = table.begin(); it != table.end(); ++it) {
        check(registry.shortcut(it.key()) == *it);
        check(registry.get(it.key()).has_value());
    }
    return 0;
}
