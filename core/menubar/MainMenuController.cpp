#include "core/menubar/MainMenuController.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {
// The Edit commands act on the widget with the keyboard focus, as a text field's
// own context menu would.
void sendToFocus(const char* slot) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    QMetaObject::invokeMethod(focus, slot);
}

void deleteInFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        if (!line->isReadOnly())
            line->del();
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        if (!text->isReadOnly())
            text->textCursor().removeSelectedText();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        if (!plain->isReadOnly())
            plain->textCursor().removeSelectedText();
    }
}

QAction* addItem(QMenu* menu, const QString& title, const QKeySequence& keys,
                 std::function<void()> action) {
    QAction* item = menu->addAction(title);
    if (!keys.isEmpty()) {
        item->setShortcut(keys);
        // Only while the window is active: two windows must not fight over a key.
        item->setShortcutContext(Qt::WindowShortcut);
    }
    QObject::connect(item, &QAction::triggered, menu, std::move(action));
    return item;
}

// Our own top-level windows that show now.
QList<QWidget*> shownWindows() {
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isWindow() &&
            (widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog))
            windows.append(widget);
    }
    return windows;
}
} // namespace

MainMenuController::MainMenuController(QObject* parent)
    : QObject(parent) {}

MainMenuController::~MainMenuController() = default;

void MainMenuController::setOpenSettings(Handler handler) {
    m_openSettings = std::move(handler);
}

void MainMenuController::setShowAbout(Handler handler) {
    m_showAbout = std::move(handler);
}

void MainMenuController::setQuit(Handler handler) {
    m_quit = std::move(handler);
}

void MainMenuController::setCheckForUpdates(std::optional<Handler> handler) {
    m_checkForUpdates = std::move(handler);
    invalidateMainMenu();
}

void MainMenuController::openSettingsAction() {
    if (m_openSettings)
        m_openSettings();
}

void MainMenuController::checkForUpdatesAction() {
    if (m_checkForUpdates && *m_checkForUpdates)
        (*m_checkForUpdates)();
}

QMenuBar* MainMenuController::menuBar(const QWidget* window) const {
    for (const auto& [owner, bar] : m_bars) {
        if (owner == window)
            return bar;
    }
    return nullptr;
}

QMenuBar* MainMenuController::install(QWidget* window) {
    if (!window)
        return nullptr;
    if (QMenuBar* existing = menuBar(window))
        return existing;
    QMenuBar* bar = nullptr;
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        bar = main->menuBar();
    } else {
        bar = new QMenuBar(window);
        // In a layout the bar takes its row above the content.
        if (QLayout* layout = window->layout())
            layout->setMenuBar(bar);
    }
    bar->setObjectName(QStringLiteral("mainMenuBar"));
    m_didInstallMainMenu = true;
    m_bars.append({window, bar});
    build(*bar, window);
    return bar;
}

void MainMenuController::invalidateMainMenu() {
    if (!m_didInstallMainMenu)
        return;
    for (const auto& [window, bar] : std::as_const(m_bars)) {
        if (window && bar)
            build(*bar, window);
    }
}

void MainMenuController::build(QMenuBar& bar, QWidget* window) {
    bar.clear();
    qDeleteAll(bar.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    const QPointer<QWidget> target(window);

    QMenu* app = bar.addMenu(QStringLiteral("Corvanta"));
    app->setObjectName(QStringLiteral("applicationMenu"));
    addItem(app, QStringLiteral("About Corvanta"), {}, [this] {
        if (m_showAbout)
            m_showAbout();
    });
    app->addSeparator();
    if (m_checkForUpdates) {
        addItem(app, QStringLiteral("Check for Updates…"), {}, [this] { checkForUpdatesAction(); });
        app->addSeparator();
    }
    addItem(app, QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma),
            [this] { openSettingsAction(); });
    app->addSeparator();
    QAction* quit =
        addItem(app, QStringLiteral("Quit Corvanta"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] {
            if (m_quit)
                m_quit();
        });
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = bar.addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    addItem(edit, QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
            [] { sendToFocus("undo"); });
    addItem(edit, QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
            [] { sendToFocus("redo"); });
    edit->addSeparator();
    addItem(edit, QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X),
            [] { sendToFocus("cut"); });
    addItem(edit, QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
            [] { sendToFocus("copy"); });
    addItem(edit, QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
            [] { sendToFocus("paste"); });
    addItem(edit, QStringLiteral("Delete"), {}, [] { deleteInFocus(); });
    addItem(edit, QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
            [] { sendToFocus("selectAll"); });

    QMenu* windowMenu = bar.addMenu(QStringLiteral("Window"));
    windowMenu->setObjectName(QStringLiteral("windowMenu"));
    addItem(windowMenu, QStringLiteral("Close"), QKeySequence(Qt::CTRL | Qt::Key_W), [target] {
        if (target)
            target->close();
    });
    addItem(windowMenu, QStringLiteral("Minimize"), QKeySequence(Qt::CTRL | Qt::Key_M), [target] {
        if (target)
            target->showMinimized();
    });
    windowMenu->addSeparator();
    addItem(windowMenu, QStringLiteral("Bring All to Front"), {}, [target] {
        for (QWidget* shown : shownWindows())
            shown->raise();
        if (target) {
            target->raise();
            target->activateWindow();
        }
    });
}
