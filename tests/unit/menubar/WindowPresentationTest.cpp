#include "core/menubar/MainMenuController.h"
#include "core/menubar/MenuBarActivation.h"
#include "core/menubar/WindowPresenter.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/WidgetTest.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>
#include <map>
#include <memory>

namespace {
using Presenter = MenuBarActivation::Presenter;

using WindowPresentationTest = WidgetTest;

TEST_F(WindowPresentationTest, PresenterSetIsRegularExactlyWhileNotEmpty) {
    // "+" presents, "-" dismisses; s settings, o onboarding, a about.
    const struct {
        const char* steps;
        bool regularAfter;
        int switchesToRegular, switchesToAccessory;
    } cases[] = {
        {"+s +s -s", false, 1, 1}, // presenting twice adds once
        {"+o -a", true, 1, 0},     // dismissing a stranger keeps the others
    };
    const std::map<QChar, Presenter> presenters{
        {u's', Presenter::settings}, {u'o', Presenter::onboarding}, {u'a', Presenter::about}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        int regular = 0, accessory = 0, activations = 0, presents = 0;
        MenuBarActivation activation(
            {[&] { ++regular; }, [&] { ++accessory; }, [&] { ++activations; }});
        for (const QString& step : QString::fromLatin1(c.steps).split(u' ')) {
            if (step[0] == u'+') {
                activation.present(presenters.at(step[1]));
                ++presents;
            } else {
                activation.dismiss(presenters.at(step[1]));
            }
        }
        EXPECT_EQ(activation.isRegular(), c.regularAfter);
        EXPECT_EQ(activation.isRegular(), !activation.presenters().isEmpty());
        EXPECT_EQ(regular, c.switchesToRegular);
        EXPECT_EQ(accessory, c.switchesToAccessory);
        // Every present brings Corvanta forward, even when it already was.
        EXPECT_EQ(activations, presents);
    }
}

TEST_F(WindowPresentationTest, TrackedWindowsGiveTheTaskbarEntryUntilTheLastCloses) {
    WindowPresenter presenter;
    QList<bool> changes;
    QObject::connect(&presenter, &WindowPresenter::taskbarEntryChanged,
                     [&](bool shown) { changes.append(shown); });
    QWidget settings, onboarding;
    presenter.track(Presenter::settings, &settings);
    presenter.track(Presenter::onboarding, &onboarding);
    EXPECT_FALSE(presenter.hasTaskbarEntry()) << "tracking alone presents nothing";

    settings.show();
    onboarding.show();
    EXPECT_TRUE(presenter.hasTaskbarEntry());
    settings.close();
    EXPECT_TRUE(presenter.hasTaskbarEntry()) << "onboarding still shows";
    EXPECT_TRUE(presenter.activation().isShowing(Presenter::onboarding));
    onboarding.hide();
    EXPECT_FALSE(presenter.hasTaskbarEntry());

    auto about = std::make_unique<QWidget>();
    about->show();
    presenter.track(Presenter::about, about.get());
    EXPECT_TRUE(presenter.hasTaskbarEntry()) << "tracking a window that already shows";
    about.reset();
    EXPECT_FALSE(presenter.hasTaskbarEntry()) << "destroyed while showing";

    // A window shown again presents again.
    settings.show();
    EXPECT_TRUE(presenter.hasTaskbarEntry());
    EXPECT_EQ(changes, (QList<bool>{true, false, true, false, true}));
}

// Each item's title and keys.
QStringList titles(const QWidget* menu) {
    QStringList result;
    for (const QAction* action : menu->actions())
        result << (action->isSeparator()
                       ? QStringLiteral("---")
                       : (action->text() + u' ' + action->shortcut().toString()).trimmed());
    return result;
}

QAction* item(const QWidget* menu, const QString& title) {
    for (QAction* action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

QMenu* menuTitled(const QMenuBar* bar, const QString& title) {
    QAction* action = item(bar, title);
    return action ? action->menu() : nullptr;
}

TEST_F(WindowPresentationTest, MenusHoldTheStandardCommandsAndKeysAndReachTheirHandlers) {
    MainMenuController controller;
    int settings = 0, about = 0, quits = 0;
    controller.setOpenSettings([&] { ++settings; });
    controller.setShowAbout([&] { ++about; });
    controller.setQuit([&] { ++quits; });
    QWidget window, later;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(QStringLiteral("notes.md"));
    layout->addWidget(field);
    QMenuBar* bar = controller.install(&window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(controller.install(&window), bar) << "a window gets one bar";
    EXPECT_EQ(window.layout()->menuBar(), bar);
    EXPECT_EQ(titles(bar), (QStringList{"Corvanta", "Edit", "Window"}));
    const QStringList app{"About Corvanta", "---", "Settings… Ctrl+,", "---",
                          "Quit Corvanta Ctrl+Q"};
    EXPECT_EQ(titles(menuTitled(bar, "Corvanta")), app)
        << "no update item and no extra separator without a handler";
    EXPECT_EQ(titles(menuTitled(bar, "Edit")),
              (QStringList{"Undo Ctrl+Z", "Redo Ctrl+Shift+Z", "---", "Cut Ctrl+X", "Copy Ctrl+C",
                           "Paste Ctrl+V", "Delete", "Select All Ctrl+A"}));
    EXPECT_EQ(titles(menuTitled(bar, "Window")),
              (QStringList{"Close Ctrl+W", "Minimize Ctrl+M", "---", "Bring All to Front"}));

    // The update item comes and goes with its handler, in every bar.
    int checks = 0;
    controller.setCheckForUpdates([&] { ++checks; });
    for (QMenuBar* each : {bar, controller.install(&later)}) {
        QMenu* menu = menuTitled(each, "Corvanta");
        EXPECT_EQ(titles(menu), (QStringList{"About Corvanta", "---", "Check for Updates…", "---",
                                             "Settings… Ctrl+,", "---", "Quit Corvanta Ctrl+Q"}));
        item(menu, "Check for Updates…")->trigger();
    }
    EXPECT_EQ(checks, 2);
    controller.setCheckForUpdates(std::nullopt);
    EXPECT_EQ(titles(menuTitled(bar, "Corvanta")), app);

    window.show();
    window.activateWindow();
    field->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == field; }, 2000));

    for (const char* command : {"Settings…", "About Corvanta", "Quit Corvanta"})
        item(menuTitled(bar, "Corvanta"), QString::fromUtf8(command))->trigger();
    EXPECT_EQ(std::tuple(settings, about, quits), std::tuple(1, 1, 1));

    // The Edit commands act on the focused text field.
    QMenu* edit = menuTitled(bar, "Edit");
    item(edit, "Select All")->trigger();
    EXPECT_EQ(field->selectedText(), "notes.md");
    item(edit, "Cut")->trigger();
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "notes.md");
    item(edit, "Undo")->trigger();
    EXPECT_EQ(field->text(), "notes.md");
    item(edit, "Redo")->trigger();
    EXPECT_EQ(field->text(), "");
    item(edit, "Paste")->trigger();
    item(edit, "Paste")->trigger();
    EXPECT_EQ(field->text(), "notes.mdnotes.md");
    field->setSelection(0, 5);
    item(edit, "Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "notes");
    item(edit, "Delete")->trigger();
    EXPECT_EQ(field->text(), ".mdnotes.md");
}
} // namespace
