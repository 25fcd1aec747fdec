#include "core/selection/SelectionHelperScript.h"

#include "core/selection/SelectionHelperBody.h"

namespace {

// Shell-quoted: the values are our own and hold no quote.
QByteArray quoted(const QString& value) {
    return '\'' + value.toUtf8() + '\'';
}

} // namespace

QByteArray SelectionHelperScript::contents() const {
    QByteArray text = "#!/bin/sh\n# Corvanta's selection helper for " + fileManagerName.toUtf8() +
                      ". Corvanta rewrites it when it differs.\n";
    text += "manager=" + quoted(fileManagerName) + '\n';
    text += "programs=" + quoted(programs.join(QLatin1Char(' '))) + '\n';
    text +=
        QByteArray("replaces_undecodable=") + (replacesUndecodableNames ? "yes" : "no") + "\n\n";
    text += selectionHelperBody();
    return text;
}

const QList<SelectionHelperScript>& SelectionHelperScript::builtins() {
    static const QList<SelectionHelperScript> scripts{
        {QStringLiteral("Nautilus"),
         {QStringLiteral("org.gnome.Nautilus.desktop"), QStringLiteral("nautilus.desktop")},
         {QStringLiteral("nautilus")},
         QStringLiteral("GetNautilusSelection"),
         false},
        {QStringLiteral("Dolphin"),
         {QStringLiteral("org.kde.dolphin.desktop"), QStringLiteral("dolphin.desktop")},
         {QStringLiteral("dolphin")},
         QStringLiteral("GetDolphinSelection"),
         true},
        {QStringLiteral("Thunar"),
         {QStringLiteral("thunar.desktop"), QStringLiteral("org.xfce.Thunar.desktop")},
         {QStringLiteral("thunar"), QStringLiteral("Thunar")},
         QStringLiteral("GetThunarSelection"),
         false},
        {QStringLiteral("Nemo"),
         {QStringLiteral("nemo.desktop")},
         {QStringLiteral("nemo")},
         QStringLiteral("GetNemoSelection"),
         false},
        {QStringLiteral("Caja"),
         {QStringLiteral("caja.desktop"), QStringLiteral("caja-browser.desktop")},
         {QStringLiteral("caja")},
         QStringLiteral("GetCajaSelection"),
         false},
        {QStringLiteral("PCManFM-Qt"),
         {QStringLiteral("pcmanfm-qt.desktop")},
         {QStringLiteral("pcmanfm-qt")},
         QStringLiteral("GetPCManFMQtSelection"),
         false},
        {QStringLiteral("PCManFM"),
         {QStringLiteral("pcmanfm.desktop")},
         {QStringLiteral("pcmanfm")},
         QStringLiteral("GetPCManFMSelection"),
         false},
    };
    return scripts;
}

const SelectionHelperScript* SelectionHelperScript::forDesktopID(const QString& desktopID) {
    for (const SelectionHelperScript& script : builtins()) {
        if (script.desktopIDs.contains(desktopID))
            return &script;
    }
    return nullptr;
}
