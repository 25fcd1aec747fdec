// Shows a picker and saves a picture of it, to look at how it renders on a real
// display server:   picker_screenshot [radial|list [OUT.png]]
#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "core/pickers/WidgetPickerPresenter.h"
#include "tests/support/FakeWorkspace.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool list = argc > 1 && qstrcmp(argv[1], "list") == 0;
    FakeWorkspace workspace;
    workspace.install({"org.kde.kate", "Kate", {}, {}, {}, "accessories-text-editor"});
    Editor kate;
    kate.bundleID = "org.kde.kate";
    kate.name = "Kate";
    QList<PickerChoice> entries{{kate}};
    for (auto kind : allPickerUtilityKinds)
        entries.append({PickerUtility::makeDefault(kind)});
    entries.append({ExternalUtilityRef::shortcut({"s1", "Publish to Blog"})});
    WidgetPickerPresenter presenter(workspace);
    presenter.present(
        {"Choose a Markdown editor", list ? PickerStyle::list : PickerStyle::radial, entries}, {});
    QTimer::singleShot(800, [&] {
        QWidget* window =
            list ? presenter.listPicker()->panel() : presenter.radialPicker()->panel();
        // Over a two-tone backdrop: without a compositor transparent parts are black.
        const QPixmap own = window->grab();
        QImage image(own.size() + QSize(80, 80), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor(0x4a, 0x6f, 0x9c));
        painter.fillRect(QRect(0, 0, image.width() / 2, image.height()), Qt::white);
        painter.drawPixmap(40, 40, own);
        painter.end();
        app.exit(image.save(argc > 2 ? QString::fromLocal8Bit(argv[2]) : "picker.png") ? 0 : 1);
    });
    return app.exec();
}
