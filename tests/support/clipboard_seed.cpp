// Takes the X clipboard with the given formats and answers for it until
// killed: what a user's clipboard holds before a rule hotkey copies a selection.
// Usage: clipboard_seed [--slow MS] TEXT SECOND [MIME VALUE]...
// SECOND goes under application/x-corvanta-test; a value "@FILE" is read from
// a file (for values too large for an argument); --slow delays every answer,
// as a program that renders its formats on request does.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {
class SlowMimeData : public QMimeData {
public:
    explicit SlowMimeData(int delayMs)
        : m_delayMs(delayMs) {}

protected:
    QVariant retrieveData(const QString& type, QMetaType metaType) const override {
        QThread::msleep(m_delayMs);
        return QMimeData::retrieveData(type, metaType);
    }

private:
    int m_delayMs;
};
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int delayMs = 0;
    if (args.value(0) == QLatin1String("--slow")) {
        delayMs = args.value(1).toInt();
        args = args.mid(2);
    }
    if (args.size() < 2 || args.size() % 2 != 0)
        return 2;
    args.insert(1, QStringLiteral("application/x-corvanta-test"));
    args.insert(0, QStringLiteral("text/plain"));
    auto* data = new SlowMimeData(delayMs);
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        QByteArray value = args[i + 1].toLocal8Bit();
        if (value.startsWith('@')) {
            QFile file(QFile::decodeName(value.mid(1)));
            if (!file.open(QIODevice::ReadOnly))
                return 2;
            value = file.readAll();
        }
        data->setData(args[i], value);
    }
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
