#include "StoreTestSupport.h"

namespace {
constexpr int routeCount = 200;
constexpr int rulesPerRoute = 10;

QString routeID(int i) {
    return QStringLiteral("custom.type%1").arg(i, 3, 10, QLatin1Char('0'));
}

QString editorID(int route, int editor) {
    return QStringLiteral("com.example.r%1.e%2").arg(route).arg(editor);
}

QList<Route> manyRoutes() {
    QList<Route> routes;
    for (int i = 0; i < routeCount; ++i) {
        Route route = makeCustomRoute(routeID(i), QStringLiteral("Type %1").arg(i),
                                      QStringLiteral("x%1").arg(i));
        route.probeIdentifiers = {QStringLiteral("application/x-type%1").arg(i)};
        for (int e = 0; e < 4; ++e)
            route.editors.append(
                {editorID(i, e), QStringLiteral("Editor %1").arg(e), e == 1, e != 3, true,
                 e == 2 ? std::optional(QStringLiteral("x-e://%1/{path}").arg(i)) : std::nullopt});
        route.activeBundleID = editorID(i, i % 3);
        for (int r = 0; r < rulesPerRoute; ++r) {
            Rule rule = makeRule(QStringLiteral("R-%1-%2").arg(i).arg(r), editorID(i, r % 3));
            rule.enabled = r % 5 != 0;
            route.rules.append(rule);
        }
        if (i % 50 == 0) // older files, converted on load; rules already present win
            route.pathRules = QList<PathRule>{{"/old/a", editorID(i, 0)}};
        route.enabledShortcuts = {{QStringLiteral("S%1").arg(i), QStringLiteral("Shortcut")}};
        routes.append(route);
    }
    return routes;
}
} // namespace

TEST_F(StoreTest, HundredsOfRoutesAndThousandsOfRulesSurviveChangesAndReload) {
    writeRoutes(manyRoutes());
    auto store = open();
    ASSERT_FALSE(store->loadFailed());
    ASSERT_EQ(store->routes().size(), routeCount + 2);
    int rules = 0;
    for (const Route& route : store->routes())
        rules += route.rules.size();
    ASSERT_EQ(rules, routeCount * rulesPerRoute);

    for (int i = 0; i < routeCount; i += 40) {
        const QString id = routeID(i);
        store->setEnabled(id, editorID(i, 0), false);
        store->setEnabled(id, editorID(i, 3), true);
        store->toggleFolder(id, editorID(i, 1));
        store->setURLSchemeTemplate(id, editorID(i, 2), std::nullopt);
        store->addEditor(id, QStringLiteral("com.added.%1").arg(i), QStringLiteral("Added"));
        store->upsertRule(id, makeRule(QStringLiteral("N-%1").arg(i), editorID(i, 1)));
        store->moveRule(id, rulesPerRoute, 0);
        store->removeRule(id, QStringLiteral("R-%1-3").arg(i));
        store->setRuleEnabled(id, QStringLiteral("R-%1-5").arg(i), true);
        store->setExternalUtilityEnabled(id, ExternalUtilityKind::service, "V", "Service", true);
        store->setScriptUtilityEnabled(id, "tools/run.sh", "run", true);
        store->setTerminalBundleID(id, QStringLiteral("org.kde.konsole"));
        store->setDefaultActionKind(id, RuleActionKind::selectFromRunningEditors);
        store->setDefaultOpenBundleIDs(id, {editorID(i, 2), editorID(i, 1)});
        store->setDefaultPreferenceOrder(id, {editorID(i, 3)});
    }
    for (int i = 3; i < routeCount; i += 50)
        store->removeCustomRoute(routeID(i));

    ASSERT_EQ(store->routes().size(), routeCount + 2 - 4);
    const Route changed = *store->routeWithID(routeID(40));
    EXPECT_EQ(changed.rules.first().id, "N-40");
    EXPECT_EQ(changed.rules.size(), rulesPerRoute);
    EXPECT_EQ(changed.activeBundleID, editorID(40, 2));
    EXPECT_EQ(changed.defaultPreferenceOrder.first(), editorID(40, 3));
    EXPECT_FALSE(store->lastWriteError().has_value());
    EXPECT_EQ(open()->routes(), store->routes());
    EXPECT_EQ(readState().routes, store->routes());
}
