#include "core/selection/SelectionHelperScript.h"

#include "core/selection/ScriptableFileManager.h"
#include "core/selection/SelectionHelperBody.h"

namespace {

// Shell-quoted; a quote inside is closed, escaped and reopened.
QByteArray quoted(const QString& value) {
    return '\'' + value.toUtf8().replace('\'', "'\\''") + '\'';
}

} // namespace

QStringList SelectionHelperScript::programs(const ScriptableFileManager& manager) {
    QStringList names;
    for (const QString& id : manager.bundleIDs) {
        const QString name = id.section(QLatin1Char('.'), -1).toLower();
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QByteArray SelectionHelperScript::contents(const ScriptableFileManager& manager) {
    // Dolphin's copy turns a name that is not UTF-8 into U+FFFD.
    const bool replacesUndecodable =
        manager.scriptFileName == ScriptableFileManager::dolphin().scriptFileName;
    QByteArray text = "#!/bin/sh\n# Corvanta's selection helper for " + manager.name.toUtf8() +
                      ". Corvanta rewrites it when it differs.\n";
    text += "manager=" + quoted(manager.name) + '\n';
    text += "programs=" + quoted(programs(manager).join(QLatin1Char(' '))) + '\n';
    text += QByteArray("replaces_undecodable=") + (replacesUndecodable ? "yes" : "no") + "\n\n";
    text += selectionHelperBody();
    return text;
}
