// A program that drags the file URLs given on its command line, as a file
// manager does: a press on its window starts an XDND drag carrying them. Prints
// the drop action when the drag ends. Used by the tray drag test.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {
class Source : public QWidget {
public:
    explicit Source(QList<QUrl> urls)
        : m_urls(std::move(urls)) {
        setWindowTitle(QStringLiteral("corvanta drag source"));
        setGeometry(40, 60, 200, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(m_urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        std::printf("drag ended: %d\n", int(action));
        std::fflush(stdout);
    }

private:
    QList<QUrl> m_urls;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i)
        // A file URL comes percent-encoded, so a name that is not UTF-8 survives.
        urls.append(QByteArray(argv[i]).startsWith("file:")
                        ? QUrl::fromEncoded(argv[i])
                        : QUrl::fromUserInput(QString::fromLocal8Bit(argv[i])));
    Source source(urls);
    source.show();
    return app.exec();
}
