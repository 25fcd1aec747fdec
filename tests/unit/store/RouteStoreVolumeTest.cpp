#include "tests/support/StoreTestSupport.h"

TEST_F(StoreTest, HundredsOfRoutesAndThousandsOfRulesSurviveChangesAndReload) {
    constexpr int routeCount = 200, rulesPerRoute = 10;
    auto routeID = [](int i) { return QStringLiteral("custom.type%1").arg(i, 3, 10, QChar('0')); };
    auto editorID = [](int i, int e) { return QString("com.example.r%1.e%2").arg(i).arg(e); };
    QList<Route> routes;
    for (int i = 0; i < routeCount; ++i) {
        Route route = makeCustomRoute(routeID(i), QString("Type %1").arg(i), QString("x%1").arg(i));
        for (int e = 0; e < 4; ++e) // viewers, manual editors, folders and templates mixed
            route.editors.append({editorID(i, e), QString("E%1").arg(e), e == 1, e != 3, e != 0,
                                  e == 2 ? std::optional(routeID(i)) : std::nullopt});
        route.activeBundleID = editorID(i, i % 3);
        for (int r = 0; r < rulesPerRoute; ++r)
            route.rules.append(makeRule(QString("R-%1-%2").arg(i).arg(r), editorID(i, r % 3)));
        routes.append(route);
    }
    writeRoutes(routes);
    auto store = open();

    for (int i = 0; i < routeCount; i += 40) {
        const QString id = routeID(i);
        store->setEnabled(id, editorID(i, 0), false);
        store->setEnabled(id, editorID(i, 3), true);
        store->toggleFolder(id, editorID(i, 1));
        store->addEditor(id, QString("com.added.%1").arg(i), QStringLiteral("Added"));
        store->upsertRule(id, makeRule(QString("N-%1").arg(i), editorID(i, 1)));
        store->moveRule(id, rulesPerRoute, 0);
        store->removeRule(id, QString("R-%1-3").arg(i));
        store->setRuleEnabled(id, QString("R-%1-5").arg(i), false);
        store->setDefaultOpenBundleIDs(id, {editorID(i, 2), editorID(i, 1)});
    }
    for (int i = 3; i < routeCount; i += 50)
        store->removeCustomRoute(routeID(i));

    ASSERT_EQ(store->routes().size(), routeCount + 2 - 4);
    const Route changed = *store->routeWithID(routeID(40));
    EXPECT_EQ(changed.rules.first().id, "N-40");
    EXPECT_EQ(changed.rules.size(), rulesPerRoute);
    EXPECT_EQ(changed.activeBundleID, editorID(40, 2));
    EXPECT_EQ(open()->routes(), store->routes());
    EXPECT_EQ(readState().routes, store->routes());
}
