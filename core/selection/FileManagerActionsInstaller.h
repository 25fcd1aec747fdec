#pragma once

#include "core/model/Route.h"
#include "core/platform/Shortcut.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class ShortcutRegistry;

// Puts one action per rule with a hotkey into the file managers' own menus
// (Nautilus scripts, Nemo actions, KDE service menus, Thunar custom actions).
// Each action runs `corvanta open --hotkey rule-<id> -- FILE...` with the files
// as separate arguments. Only files Corvanta wrote are ever changed or removed:
// ours are named or tagged "corvanta-rule-", everything else is the user's.
class FileManagerActionsInstaller {
public:
    // A rule that has a hotkey.
    struct RuleAction {
        QString ruleId;
        std::optional<QString> ruleName;
        std::optional<QString> shortcutText;
        // The combination itself: Nautilus is given it as a keyboard accelerator.
        std::optional<Shortcut> shortcut;
        bool operator==(const RuleAction&) const = default;
    };
    struct Folders {
        QString dataHome;   // $XDG_DATA_HOME
        QString configHome; // $XDG_CONFIG_HOME
    };
    // Which file managers get actions; removal always covers all of them.
    struct Targets {
        bool nautilus = true;
        bool nemo = true;
        bool kde = true;
        bool thunar = true;
        bool any() const { return nautilus || nemo || kde || thunar; }
        // The file managers' names as users know them ("Nautilus", "Dolphin").
        QStringList names() const;
    };
    struct Result {
        QStringList written;
        QStringList removed;
        QStringList skipped; // rules left out, with the reason
        QStringList errors;
        bool ok() const { return errors.isEmpty(); }
    };

    // `program` is the corvanta executable the actions run.
    FileManagerActionsInstaller(Folders folders, QString program);

    // $XDG_DATA_HOME and $XDG_CONFIG_HOME with their defaults; none without a home.
    static std::optional<Folders> defaultFolders();
    // The rules of `routes` with a shortcut stored under their hotkey name.
    static QList<RuleAction> rulesWithHotkeys(const QList<Route>& routes,
                                              const ShortcutRegistry& shortcuts);
    // The file managers found on $PATH.
    static Targets installedFileManagers();

    // Writes ours for `rules` (unchanged files are left alone) and removes ours
    // for rules no longer listed.
    Result install(const QList<RuleAction>& rules);
    Result install(const QList<RuleAction>& rules, const Targets& targets);
    // The same for the rules of `routes` that have a hotkey.
    Result install(const QList<Route>& routes, const ShortcutRegistry& shortcuts,
                   const Targets& targets);
    // Removes every action Corvanta installed.
    Result remove();
    // True when any action of Corvanta's is in place.
    bool hasInstalled() const;

    // The file contents, for tests and for comparing.
    QByteArray nemoAction(const RuleAction& rule) const;
    QByteArray kdeServiceMenu(const RuleAction& rule) const;
    QByteArray nautilusScript(const RuleAction& rule) const;
    QByteArray thunarAction(const RuleAction& rule) const;
    // The Nautilus script's file name: the rule's name made safe for one path
    // component, then " (Corvanta)".
    static QString nautilusScriptName(const RuleAction& rule);
    // `existing` (the bytes of uca.xml, none when there is no file) with ours
    // replaced by `rules`; the user's actions keep their bytes. None when
    // `existing` is not a readable action list: it is then never overwritten.
    std::optional<QByteArray> mergedThunarActions(const std::optional<QByteArray>& existing,
                                                  const QList<RuleAction>& rules) const;

    // One line of Nautilus's scripts-accels: a script of ours and its accelerator.
    struct ScriptAccelerator {
        QString ruleId;
        QString accelerator; // GTK's text: "<Control><Alt>k"
        QString scriptName;
    };
    // GTK's accelerator text for a combination; none for keys without a name here.
    static std::optional<QString> gtkAccelerator(const Shortcut& shortcut);
    // `existing` (the bytes of scripts-accels, none when there is no file) with
    // our lines replaced by `accelerators`; every line of the user's keeps its
    // bytes. None when `existing` is not text, so that it is never overwritten.
    static std::optional<QByteArray>
    mergedNautilusAccelerators(const std::optional<QByteArray>& existing,
                               const QList<ScriptAccelerator>& accelerators);

    QString nemoFolder() const;
    QString kdeFolder() const;
    QString nautilusFolder() const;
    QString nautilusAcceleratorsFile() const;
    QString thunarFile() const;

private:
    Result apply(const QList<RuleAction>& rules, const Targets& targets);

    Folders m_folders;
    QString m_program;
};
