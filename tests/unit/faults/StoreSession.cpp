#include "tests/unit/faults/StoreSession.h"

#include "tests/support/FakePlatform.h"

namespace {
const QString markdown = QStringLiteral("markdown");
const QString plaintext = QStringLiteral("plaintext");
const QString textEditor = QStringLiteral("org.gnome.TextEditor");
const QString viewer = QStringLiteral("com.example.Viewer");

Rule nameRule(const QString& id, const QString& bundleID) {
    Rule rule;
    rule.id = id;
    rule.name = QStringLiteral("Rule ") + id;
    rule.when.id = id + QStringLiteral("-group");
    Predicate predicate;
    predicate.id = id + QStringLiteral("-predicate");
    predicate.kind = PredicateKind::fileName;
    predicate.stringOperator = StringMatchOperator::contains;
    predicate.stringValue = id;
    rule.when.predicates = {predicate};
    rule.action.kind = RuleActionKind::specificEditor;
    rule.action.bundleID = bundleID;
    rule.action.bundleIDs = QStringList{bundleID};
    return rule;
}

// The id the store gives the route it learns for ".rst" files.
QString taughtRouteID(const RouteStore& store) {
    for (const Route& route : store.routes()) {
        if (route.extensions.contains(QStringLiteral("rst")))
            return route.id;
    }
    return {};
}
} // namespace

void installSessionApplications(FakePlatform& fake) {
    fake.workspace.install(
        {QStringLiteral("io.corvanta.Corvanta"), QStringLiteral("Corvanta"), {}, {}, {}, {}});
    fake.workspace.install({textEditor,
                            QStringLiteral("Text Editor"),
                            {QStringLiteral("text/plain"), QStringLiteral("text/markdown")},
                            {},
                            {},
                            {}});
    fake.workspace.install(
        {viewer, QStringLiteral("Viewer"), {}, {QStringLiteral("text/markdown")}, {}, {}});
    fake.types.addType(QStringLiteral("text/x-rst"), {QStringLiteral("rst")},
                       {QStringLiteral("text/plain")}, QStringLiteral("reStructuredText"));
}

const QList<StoreStep>& storeSession() {
    static const QList<StoreStep> steps{
        {"setEnabled", [](RouteStore& s) { s.setEnabled(markdown, viewer, true); }},
        {"setAllEditorsEnabled", [](RouteStore& s) { s.setAllEditorsEnabled(plaintext, true); }},
        {"setUtilityEnabled",
         [](RouteStore& s) {
             s.setUtilityEnabled(markdown, PickerUtilityKind::copyPOSIXPath, false);
         }},
        {"setTerminalBundleID",
         [](RouteStore& s) { s.setTerminalBundleID(markdown, QStringLiteral("org.kde.konsole")); }},
        {"setExternalUtilityEnabled",
         [](RouteStore& s) {
             s.setExternalUtilityEnabled(markdown, ExternalUtilityKind::shortcut,
                                         QStringLiteral("S1"), QStringLiteral("Summarise"), true);
         }},
        {"setScriptUtilityEnabled",
         [](RouteStore& s) {
             s.setScriptUtilityEnabled(plaintext, QStringLiteral("tools/wc.sh"),
                                       QStringLiteral("wc"), true);
         }},
        {"toggleFolder", [](RouteStore& s) { s.toggleFolder(markdown, textEditor); }},
        {"setURLSchemeTemplate",
         [](RouteStore& s) {
             s.setURLSchemeTemplate(markdown, viewer,
                                    QStringLiteral("x-view://open?f={filepath.urlencoded}"));
         }},
        {"addEditor",
         [](RouteStore& s) {
             s.addEditor(plaintext, QStringLiteral("com.example.Manual"), QStringLiteral("Manual"));
             s.addEditor(plaintext, QStringLiteral("com.example.Second"), QStringLiteral("Second"));
         }},
        {"removeEditor",
         [](RouteStore& s) { s.removeEditor(plaintext, QStringLiteral("com.example.Second")); }},
        {"setDefaultActionKind",
         [](RouteStore& s) {
             s.setDefaultActionKind(plaintext, RuleActionKind::selectFromAllEditors);
         }},
        {"setDefaultOpenBundleIDs",
         [](RouteStore& s) {
             s.setDefaultOpenBundleIDs(markdown, {viewer, textEditor});
         }},
        {"upsertRule",
         [](RouteStore& s) {
             s.upsertRule(markdown, nameRule(QStringLiteral("R1"), textEditor));
             s.upsertRule(markdown, nameRule(QStringLiteral("R2"), viewer));
             s.upsertRule(markdown, nameRule(QStringLiteral("R3"), viewer));
             Rule changed = nameRule(QStringLiteral("R1"), viewer);
             changed.name = QStringLiteral("Renamed");
             s.upsertRule(markdown, changed);
         }},
        {"moveRule", [](RouteStore& s) { s.moveRule(markdown, 2, 0); }},
        {"setRuleEnabled",
         [](RouteStore& s) { s.setRuleEnabled(markdown, QStringLiteral("R2"), false); }},
        {"removeRule", [](RouteStore& s) { s.removeRule(markdown, QStringLiteral("R1")); }},
        {"setDefaultPreferenceOrder",
         [](RouteStore& s) {
             s.setDefaultPreferenceOrder(markdown, {viewer, textEditor});
         }},
        {"setActiveBundleID", [](RouteStore& s) { s.setActiveBundleID(markdown, viewer); }},
        {"rescan", [](RouteStore& s) { s.rescan(markdown); }},
        {"addCustomRoute",
         [](RouteStore& s) {
             s.addCustomRoute({QStringLiteral("org"), std::nullopt, QStringLiteral("Org Mode")});
             s.addCustomRoute({QStringLiteral("rst"), QStringLiteral("text/x-rst"),
                               QStringLiteral("reStructuredText")});
         }},
        {"editTaughtRoute",
         [](RouteStore& s) {
             const QString id = taughtRouteID(s);
             s.addEditor(id, QStringLiteral("com.example.Rst"), QStringLiteral("Rst Editor"));
             s.upsertRule(id, nameRule(QStringLiteral("R9"), QStringLiteral("com.example.Rst")));
         }},
        {"addTypeToRoute",
         [](RouteStore& s) { s.addTypeToRoute(markdown, QStringLiteral("mdx"), std::nullopt); }},
        {"removeCustomRoute",
         [](RouteStore& s) {
             for (const Route& route : s.routes()) {
                 if (route.extensions.contains(QStringLiteral("org")))
                     s.removeCustomRoute(route.id);
             }
         }},
        {"save", [](RouteStore& s) { s.save(); }},
    };
    return steps;
}
