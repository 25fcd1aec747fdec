#pragma once

#include "core/fileactions/FileManagerAction.h"
#include "core/fileactions/XdgFolders.h"
#include "core/model/Route.h"
#include "core/platform/Shortcut.h"

#include <QByteArray>
#include <QFileDevice>
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

    // `program` is the corvanta executable the actions run; the actions go
    // into the folders' data and config homes.
    FileManagerActionsInstaller(XdgFolders folders, QString program);

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

    // The Nautilus script's file name for `rule` (from its name).
    static QString nautilusScriptName(const RuleAction& rule);

private:
    Result apply(const QList<RuleAction>& rules, const Targets& targets);
    // Nemo and KDE: one file of ours per rule, named after its id.
    using Writer = QByteArray (*)(const ActionEntry&);
    void writeNamed(const QList<RuleAction>& rules, const QString& folder, QLatin1StringView suffix,
                    Writer write, QFileDevice::Permissions mode, Result& result) const;
    void writeNautilus(const QList<RuleAction>& rules, Result& result) const;
    void writeThunar(const QList<RuleAction>& rules, Result& result) const;
    ActionEntry entry(const RuleAction& rule) const;

    XdgFolders m_folders;
    QString m_program;
};
