// Shows the checklist sheet with a few entries (or, with "empty", its message)
// and saves what the display server shows, to look at how it renders there:
//   checklist_screenshot [list|empty [OUT.png]]
#include "core/utilities/ExternalUtilityChecklistSheet.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool empty = argc > 1 && qstrcmp(argv[1], "empty") == 0;
    QList<CatalogEntry> entries;
    if (!empty)
        entries = {{"a", "Compress with 7-Zip"},
                   {"b", "Convert to PNG"},
                   {"c", "Send by Email"},
                   {"d", "Upload to Nextcloud & Share"}};
    auto* sheet = new ExternalUtilityChecklistSheet(
        ExternalUtilityKind::service, "markdown", entries,
        empty ? std::optional<QString>(QStringLiteral("No file manager actions found."))
              : std::nullopt,
        {"b"}, {});
    sheet->presentSheet();
    QTimer::singleShot(800, [&] {
        const QRect area = sheet->frameGeometry().adjusted(-20, -20, 20, 20);
        const QPixmap shown =
            sheet->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        app.exit(shown.save(argc > 2 ? QString::fromLocal8Bit(argv[2]) : "checklist.png") ? 0 : 1);
    });
    return app.exec();
}
