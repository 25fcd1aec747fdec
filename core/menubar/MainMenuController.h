#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class QMenuBar;
class QWidget;

// The application, Edit and Window menus of Corvanta's windows. Each window
// that shows gets them as its menu bar; a desktop with a global menu takes the
// bar over through Qt's platform theme. Handlers may change at any time: the
// menus installed so far are rebuilt.
class MainMenuController : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit MainMenuController(QObject* parent = nullptr);
    ~MainMenuController() override;

    void setOpenSettings(Handler handler);
    void setShowAbout(Handler handler);
    void setQuit(Handler handler);
    // The "Check for Updates…" item exists only while a handler is set.
    void setCheckForUpdates(std::optional<Handler> handler);

    // Gives `window` the menus (once; later calls keep its bar).
    QMenuBar* install(QWidget* window);
    // Rebuilds the menus of every window that has them.
    void invalidateMainMenu();
    QMenuBar* menuBar(const QWidget* window) const;

    // The menu commands, also reachable without a menu bar.
    void openSettingsAction();
    void checkForUpdatesAction();

private:
    void build(QMenuBar& bar, QWidget* window);

    Handler m_openSettings;
    Handler m_showAbout;
    Handler m_quit;
    std::optional<Handler> m_checkForUpdates;
    bool m_didInstallMainMenu = false;
    QList<QPair<QPointer<QWidget>, QPointer<QMenuBar>>> m_bars;
};
