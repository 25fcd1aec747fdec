// Takes the X clipboard with two formats and answers for it until killed:
// what a user's clipboard holds before a rule hotkey copies a selection.
// Usage: clipboard_seed TEXT SECOND   (SECOND under application/x-corvanta-test;
// "@FILE" takes it from a file, for values too large for an argument)
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), QByteArray(argv[1]));
    QByteArray second(argv[2]);
    if (second.startsWith('@')) {
        QFile file(QFile::decodeName(second.mid(1)));
        if (!file.open(QIODevice::ReadOnly))
            return 2;
        second = file.readAll();
    }
    data->setData(QStringLiteral("application/x-corvanta-test"), second);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
