#include "core/selection/ScriptableFileManager.h"

namespace {
ScriptableFileManager manager(QStringList ids, const char* script, const char* name) {
    return ScriptableFileManager{std::move(ids), QString::fromLatin1(script),
                                 QString::fromLatin1(name)};
}
} // namespace

bool ScriptableFileManager::matches(const QString& bundleID) const {
    return matches(bundleID, bundleIDs);
}

bool ScriptableFileManager::matches(const QString& bundleID, const QStringList& bundleIDs) {
    for (const QString& id : bundleIDs) {
        if (bundleID == id)
            return true;
        if (bundleID.size() > id.size() + 1 && bundleID.startsWith(id) &&
            bundleID.at(id.size()) == QLatin1Char('.'))
            return true;
    }
    return false;
}

const ScriptableFileManager& ScriptableFileManager::nautilus() {
    static const ScriptableFileManager value =
        manager({QStringLiteral("org.gnome.Nautilus"), QStringLiteral("nautilus")},
                "GetNautilusSelection", "Files");
    return value;
}

const ScriptableFileManager& ScriptableFileManager::dolphin() {
    static const ScriptableFileManager value =
        manager({QStringLiteral("org.kde.dolphin"), QStringLiteral("dolphin")},
                "GetDolphinSelection", "Dolphin");
    return value;
}

const ScriptableFileManager& ScriptableFileManager::thunar() {
    // Thunar's windows call it org.xfce.Thunar; its entry is thunar.desktop.
    static const ScriptableFileManager value =
        manager({QStringLiteral("thunar"), QStringLiteral("org.xfce.Thunar")}, "GetThunarSelection",
                "Thunar");
    return value;
}

const ScriptableFileManager& ScriptableFileManager::nemo() {
    static const ScriptableFileManager value =
        manager({QStringLiteral("nemo")}, "GetNemoSelection", "Nemo");
    return value;
}

const ScriptableFileManager& ScriptableFileManager::caja() {
    static const ScriptableFileManager value = manager(
        {QStringLiteral("caja"), QStringLiteral("caja-browser")}, "GetCajaSelection", "Caja");
    return value;
}

const ScriptableFileManager& ScriptableFileManager::pcmanfmQt() {
    static const ScriptableFileManager value =
        manager({QStringLiteral("pcmanfm-qt")}, "GetPCManFMQtSelection", "PCManFM-Qt");
    return value;
}

const ScriptableFileManager& ScriptableFileManager::pcmanfm() {
    static const ScriptableFileManager value =
        manager({QStringLiteral("pcmanfm")}, "GetPCManFMSelection", "PCManFM");
    return value;
}

const QList<ScriptableFileManager>& ScriptableFileManager::builtins() {
    static const QList<ScriptableFileManager> value{nautilus(), dolphin(),   thunar(), nemo(),
                                                    caja(),     pcmanfmQt(), pcmanfm()};
    return value;
}
